// make_main_files FOLDER: builds the main files every benchmark of bench/run
// reads (see main_files.h), once; files already in FOLDER are kept.
#include <cstdio>
#include <filesystem>

#include "main_files.h"
#include "peer_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  std::filesystem::create_directories(argv[1]);
  std::vector<int> counts(std::begin(orx::bench::kTaskCounts), std::end(orx::bench::kTaskCounts));
  return orx::bench::BuildMainFiles(argv[1], counts) ? 0 : 1;
}
