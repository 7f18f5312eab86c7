// Where the task list lives: the path of the main settings file, and the room
// a caller's buffer needs for one task id.
#ifndef ORX_TASKS_TASK_FILE_H_
#define ORX_TASKS_TASK_FILE_H_

#include <cstdint>

#include "base/status.h"
#include "frame/settings_path.h"

namespace orx::tasks {

// Task-id buffers must hold a 38-unit GUID text and its terminator.
inline constexpr uint32_t kTaskIdCapacity = 39;

// The settings path of the main settings file, which holds the task list.
Status BuildTaskFilePath(frame::SettingsPath& path);

}  // namespace orx::tasks

#endif  // ORX_TASKS_TASK_FILE_H_
