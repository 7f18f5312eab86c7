# 64-bit Windows with mingw-w64 (posix threads); see mingw-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORX_MINGW_TRIPLE x86_64-w64-mingw32)
set(ORX_WINE_ARCH x64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
