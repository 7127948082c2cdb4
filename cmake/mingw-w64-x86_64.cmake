# 64-bit Windows (PE32+): the same sources, so that the Windows tests can run
# under 64-bit Wine on machines whose kernel runs no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(BRENVIK_MINGW_TRIPLE x86_64-w64-mingw32)
set(BRENVIK_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
