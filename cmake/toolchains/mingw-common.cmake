# Shared part of the mingw-w64 toolchains: Debian's cross compilers in their
# posix thread model (the win32 model of GCC 12 has no std::mutex), the
# target's own root for finding libraries, and Wine to run what is built.
# The including file sets ORX_MINGW_TRIPLE and ORX_WINE_ARCH first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${ORX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthread are linked into every DLL and
# program, so what is shipped imports system DLLs only.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endforeach()

# Tests and other programs built here run under Wine in a prefix private to
# the build folder (created on first use; scripts/windows-tests.sh warms it).
get_filename_component(ORX_TOOLCHAIN_SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${ORX_TOOLCHAIN_SOURCE_DIR}/scripts/wine-run.sh;${ORX_WINE_ARCH};${CMAKE_BINARY_DIR}/wineprefix")
