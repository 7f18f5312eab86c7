// Where the task list lives: the path of the main settings file, and the room
// a caller's buffer needs for one task id.
#ifndef ORX_TASKS_TASK_FILE_H_
#define ORX_TASKS_TASK_FILE_H_

#include <cstdint>
#include <string_view>

#include "base/status.h"
#include "catalogue/property_names.h"
#include "frame/settings_path.h"

namespace orx::tasks {

// Task-id buffers must hold a 38-unit GUID text and its terminator.
inline constexpr uint32_t kTaskIdCapacity = 39;

// The settings path of the main settings file, which holds the task list.
Status BuildTaskFilePath(frame::SettingsPath& path);

// The settings path of the main settings file in the calling thread's
// path buffer (frame::ThreadSettingsPath), for a caller that needs it again
// and again, as an enumeration does on every step: built again only when
// the data folder or the thread's last settings file has changed since.
// Inline: it names a constant of the catalogue.
inline Status ThreadTaskFilePath(frame::ThreadPath& path) {
  return frame::ThreadSettingsPathOfConstant(catalogue::kMainFile, path);
}

}  // namespace orx::tasks

#endif  // ORX_TASKS_TASK_FILE_H_
