// Main files of N tasks made by the library itself, through the public
// header, for every benchmark of the run (ours and the peers'): one template
// task created with orxCreateTask and all 46 of its properties written with
// orxSetTaskProperty, then copied with orxCopyTaskDefinition until N tasks
// are listed; [InetWD] UpdatePeriod is written first, so it is the file's
// first section. The "holed" files are the same lists after every second
// task was removed with orxDeleteTaskDefinition, the input of a compaction.
// One more list, of kCopyTasks, is the file a copy is judged on next to the
// largest list.
#ifndef ORX_BENCH_MAIN_FILES_H_
#define ORX_BENCH_MAIN_FILES_H_

#include <string>
#include <vector>

namespace orx::bench {

// The provider whose file the provider reads use: <folder>/Bench.ini.
inline constexpr char16_t kBenchProvider[] = u"Bench";

std::string MainFilePath(const std::string& folder, int tasks);
std::string HoledFilePath(const std::string& folder, int tasks);
std::string ProviderFilePath(const std::string& folder);

// Writes main-<N>.ini for each of `counts` (ascending), holed-<N>.ini for
// each of `holed_counts` and Bench.ini into `folder`, keeping files that are
// already there from an earlier run. The library is initialised on a scratch data folder for the
// build and left pointing at it. Returns false, with a message on stderr,
// when a call of the library fails.
bool BuildMainFiles(const std::string& folder, const std::vector<int>& counts,
                    const std::vector<int>& holed_counts);

}  // namespace orx::bench

#endif  // ORX_BENCH_MAIN_FILES_H_
