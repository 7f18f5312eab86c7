// Waiting for changes of the settings files of a folder, and for a request
// to stop (SIGINT or SIGTERM on Linux). The Linux implementation lives in
// folder_watch_linux.cc (inotify, no polling); a platform without one builds
// folder_watch_unsupported.cc until it supplies its own.
#ifndef ORX_TOOLS_CLI_FOLDER_WATCH_H_
#define ORX_TOOLS_CLI_FOLDER_WATCH_H_

#include <memory>
#include <optional>
#include <set>
#include <string>

namespace orx::cli {

class FolderWatch {
 public:
  virtual ~FolderWatch() = default;
  // Blocks until some "*.ini" file of the folder is written, replaced,
  // created or removed; returns the names of the files concerned (all the
  // changes already pending are gathered). nullopt when a stop was requested
  // or the watch failed.
  virtual std::optional<std::set<std::string>> Next() = 0;
};

// Starts watching `folder`; null with `error` set when it cannot. From this
// call on, SIGINT and SIGTERM end the watch instead of the process.
std::unique_ptr<FolderWatch> WatchFolder(const std::string& folder, std::string& error);

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_FOLDER_WATCH_H_
