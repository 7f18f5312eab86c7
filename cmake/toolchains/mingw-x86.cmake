# 32-bit Windows with mingw-w64 (posix threads); see mingw-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ORX_MINGW_TRIPLE i686-w64-mingw32)
set(ORX_WINE_ARCH x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
