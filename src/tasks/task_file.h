// Where the task list lives: the path of the main settings file, and the room
// a caller's buffer needs for one task id.
#ifndef ORX_TASKS_TASK_FILE_H_
#define ORX_TASKS_TASK_FILE_H_

#include <cstdint>
#include <string_view>

#include "base/status.h"
#include "frame/settings_path.h"

namespace orx::tasks {

// Task-id buffers must hold a 38-unit GUID text and its terminator.
inline constexpr uint32_t kTaskIdCapacity = 39;

// The settings path of the main settings file, which holds the task list.
Status BuildTaskFilePath(frame::SettingsPath& path);

// The task file's path for a caller that needs it again and again, as an
// enumeration does on every step: built once, and again only when the data
// folder has changed since.
class TaskFilePath {
 public:
  // kOk, or why the path cannot be built (the path is then unusable).
  Status Refresh();

  const char16_t* c_str() const { return path_; }
  std::u16string_view view() const { return {path_, length_}; }

 private:
  // The data folder text the path was built from; null before the first
  // build. Folder texts are never freed, so an equal address is the same
  // folder.
  const char16_t* folder_ = nullptr;
  size_t length_ = 0;
  Status status_ = Status::kOk;
  frame::SettingsPath path_ = {};
};

}  // namespace orx::tasks

#endif  // ORX_TASKS_TASK_FILE_H_
