# Shared by the mingw-w64 toolchain files, which set DROVANEL_MINGW_TRIPLE,
# DROVANEL_WINE (the wine loader of that bitness) and DROVANEL_WINEARCH first.

set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: the default win32 one has no std::thread or
# std::mutex in GCC 12.
set(CMAKE_C_COMPILER ${DROVANEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DROVANEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DROVANEL_MINGW_TRIPLE}-windres)
set(CMAKE_DLLTOOL ${DROVANEL_MINGW_TRIPLE}-dlltool)
set(CMAKE_AR ${DROVANEL_MINGW_TRIPLE}-ar)
set(CMAKE_RANLIB ${DROVANEL_MINGW_TRIPLE}-ranlib)
set(CMAKE_OBJDUMP ${DROVANEL_MINGW_TRIPLE}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${DROVANEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C99 printf family of mingw-w64 instead of msvcrt's, which knows no
# %zu and returns -1 instead of the needed length when it truncates.
set(CMAKE_C_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")

# Everything linked statically: the simulator would not find libstdc++,
# libgcc or libwinpthread DLLs beside a plug-in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Built programs run under wine, in a prefix of their own inside the build
# folder (created on first use; wine32 must be installed before a 64-bit
# prefix is made, or the prefix breaks). wine keeps quiet except about a
# DLL it cannot load and a crash: with everything off, either ends the
# program with no word. No Mono, Gecko or desktop menus in the prefix.
set(DROVANEL_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(DROVANEL_WINESERVER /usr/lib/wine/wineserver)
set(CMAKE_CROSSCOMPILING_EMULATOR
    env "WINEPREFIX=${DROVANEL_WINEPREFIX}" "WINEARCH=${DROVANEL_WINEARCH}"
        "WINEDEBUG=-all,err+module,err+seh" "WINEDLLOVERRIDES=winemenubuilder.exe,mscoree,mshtml=d"
        ${DROVANEL_WINE})
