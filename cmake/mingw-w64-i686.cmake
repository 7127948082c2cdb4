# 32-bit Windows (PE32): the build that ships.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(BRENVIK_MINGW_TRIPLE i686-w64-mingw32)
set(BRENVIK_WINE_LOADER /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
