// make_main_files FOLDER: builds the main files every benchmark of bench/run
// reads (see main_files.h), once; files already in FOLDER are kept, so a
// first build of the 10,000-task list (several minutes) is paid once.
#include <algorithm>
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
  using orx::bench::kTaskCounts;
  std::vector<int> holed(std::begin(kTaskCounts), std::end(kTaskCounts));
  std::vector<int> counts = holed;
  counts.push_back(orx::bench::kCopyTasks);
  std::sort(counts.begin(), counts.end());
  return orx::bench::BuildMainFiles(argv[1], counts, holed) ? 0 : 1;
}
