# The peers a user would pick instead of the library, each built only when
# its development package is installed (bench/run installs them; the
# README's commands and CI do not). Each reads the main files the library
# built, from $ORX_BENCH_FILES.
add_library(orx_peer_files STATIC ${CMAKE_CURRENT_LIST_DIR}/peer_files.cc)
target_link_libraries(orx_peer_files PUBLIC benchmark::benchmark)

find_package(Qt5 QUIET COMPONENTS Core)
if(Qt5_FOUND)
  add_executable(qsettings_bench ${CMAKE_CURRENT_LIST_DIR}/qsettings_bench.cc)
  target_link_libraries(qsettings_bench PRIVATE orx_peer_files Qt5::Core)
else()
  message(STATUS "Qt5 not found: no QSettings benchmark")
endif()

find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(GLIB QUIET IMPORTED_TARGET glib-2.0)
endif()
if(GLIB_FOUND)
  add_executable(gkeyfile_bench ${CMAKE_CURRENT_LIST_DIR}/gkeyfile_bench.cc)
  target_link_libraries(gkeyfile_bench PRIVATE orx_peer_files PkgConfig::GLIB)
else()
  message(STATUS "GLib not found: no GKeyFile benchmark")
endif()
