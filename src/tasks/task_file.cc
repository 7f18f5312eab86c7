#include "tasks/task_file.h"

#include "catalogue/property_names.h"

namespace orx::tasks {

Status BuildTaskFilePath(frame::SettingsPath& path) {
  return frame::BuildSettingsPath(path, catalogue::kMainFile);
}

}  // namespace orx::tasks
