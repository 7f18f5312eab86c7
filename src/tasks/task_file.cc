#include "tasks/task_file.h"

#include "catalogue/property_names.h"

namespace orx::tasks {

Status BuildTaskFilePath(frame::SettingsPath& path) {
  return frame::BuildSettingsPath(path, catalogue::kMainFile);
}

Status TaskFilePath::Refresh() {
  // Read before the build: a folder replaced during it leaves an older
  // address here, and the next call builds again.
  const char16_t* folder = frame::DataFolder().data();
  if (folder == folder_) return status_;
  status_ = BuildTaskFilePath(path_);
  length_ = IsOk(status_) ? std::u16string_view(path_).size() : 0;
  folder_ = folder;
  return status_;
}

}  // namespace orx::tasks
