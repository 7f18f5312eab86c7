#include "tasks/task_file.h"

namespace orx::tasks {

Status BuildTaskFilePath(frame::SettingsPath& path) {
  return frame::BuildSettingsPath(path, catalogue::kMainFile);
}

}  // namespace orx::tasks
