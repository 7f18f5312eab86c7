// The folder watch where the platform offers no implementation yet: watch
// refuses with a clear message instead of polling.
#include "folder_watch.h"

namespace orx::cli {

std::unique_ptr<FolderWatch> WatchFolder(const std::string& folder, std::string& error) {
  error = "watching " + folder + " is not supported on this platform yet";
  return nullptr;
}

}  // namespace orx::cli
