# The whole-library suite through the public header, and the tool that
# builds the main files every benchmark of bench/run reads. Both link the
# shared library, as a user's program does.
add_library(orx_main_files STATIC ${CMAKE_CURRENT_LIST_DIR}/main_files.cc)
target_link_libraries(orx_main_files PUBLIC orxProperty)

add_executable(make_main_files ${CMAKE_CURRENT_LIST_DIR}/make_main_files.cc)
target_link_libraries(make_main_files PRIVATE orx_main_files orx_peer_files)

add_executable(library_bench ${CMAKE_CURRENT_LIST_DIR}/library_bench.cc
               ${CMAKE_CURRENT_LIST_DIR}/library_fixture.cc
               ${CMAKE_CURRENT_LIST_DIR}/library_tasks.cc)
target_include_directories(library_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(library_bench PRIVATE orx_main_files orx_peer_files orx_bench_timing
                      benchmark::benchmark)

# Process growth around reads and writes of the largest list, each
# measurement in a fresh child process.
add_executable(memory_bench ${CMAKE_CURRENT_LIST_DIR}/memory_bench.cc)
target_link_libraries(memory_bench PRIVATE orxProperty orx_peer_files benchmark::benchmark)
# The parse-per-call baseline lives with the engine's benchmarks.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/naive_profile_reader.cc)
  target_sources(library_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR}/naive_profile_reader.cc)
  target_compile_definitions(library_bench PRIVATE ORX_BENCH_NAIVE_BASELINE=1)
endif()
