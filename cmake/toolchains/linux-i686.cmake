# The core and its tests built for i686 Linux: the 32-bit code, with the same
# float arithmetic as the 32-bit Windows plug-in (set by the top level), run
# where no 32-bit wine can: cmake --preset linux32. Needs g++-multilib.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# 64-bit file offsets and inode numbers, as x86_64 has: under qemu's
# user-mode emulator the host kernel's directory offsets are 64-bit, and
# readdir's 32-bit form fails on them (EOVERFLOW).
set(CMAKE_C_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
