#include "tasks/task_file.h"

#include "catalogue/property_names.h"

namespace orx::tasks {

Status BuildTaskFilePath(frame::SettingsPath& path) {
  return frame::BuildSettingsPath(path, catalogue::kMainFile);
}

Status ThreadTaskFilePath(frame::ThreadPath& path) {
  return frame::ThreadSettingsPathOfConstant(catalogue::kMainFile, path);
}

}  // namespace orx::tasks
