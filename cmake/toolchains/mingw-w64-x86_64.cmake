# Cross build of the 64-bit Windows plug-in (win.xpl) and its tests, run
# under wine64: cmake --preset win64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DROVANEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(DROVANEL_WINE /usr/lib/wine/wine64)
set(DROVANEL_WINEARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
