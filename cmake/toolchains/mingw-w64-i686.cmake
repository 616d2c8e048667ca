# Cross build of the 32-bit Windows plug-in (win.xpl, with the 32-bit
# behaviour) and its tests, run under 32-bit wine: cmake --preset win32.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(DROVANEL_MINGW_TRIPLE i686-w64-mingw32)
set(DROVANEL_WINE /usr/lib/wine/wine)
set(DROVANEL_WINEARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
