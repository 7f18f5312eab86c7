#include "tasks/task_list_snapshot.h"

#include <mutex>

namespace orx::tasks {
namespace {

struct RememberedTaskList {
  std::mutex mutex;
  std::shared_ptr<const TaskListSnapshot> snapshot;
};

// Never destroyed, so enumerations running while the process exits still
// find it.
RememberedTaskList& Remembered() {
  static auto* remembered = new RememberedTaskList;
  return *remembered;
}

}  // namespace

std::shared_ptr<const TaskListSnapshot> CurrentTaskList(const char16_t* path) {
  RememberedTaskList& remembered = Remembered();
  // Most steps of a walk find the file unchanged: checked first without a
  // snapshot of their own, they cost a stat() and no allocation. The
  // remembered view holds its document, so no other document can have its
  // address while the comparison is made.
  if (const void* current = frame::CurrentProfileIdentity(path); current != nullptr) {
    std::lock_guard lock(remembered.mutex);
    if (remembered.snapshot != nullptr && remembered.snapshot->view().identity() == current) {
      return remembered.snapshot;
    }
  }
  auto fresh = std::make_shared<TaskListSnapshot>(path);
  // The empty snapshots of unreadable files all share one document, so
  // their identity tells nothing: such a snapshot is neither remembered nor
  // matched against the remembered one.
  if (!IsOk(fresh->view().load_status())) {
    fresh->Index();
    return fresh;
  }
  {
    std::lock_guard lock(remembered.mutex);
    if (remembered.snapshot != nullptr &&
        remembered.snapshot->view().identity() == fresh->view().identity()) {
      return remembered.snapshot;
    }
  }
  fresh->Index();
  std::lock_guard lock(remembered.mutex);
  remembered.snapshot = fresh;
  return fresh;
}

void ForgetTaskList() {
  std::shared_ptr<const TaskListSnapshot> dropped;  // released outside the lock
  RememberedTaskList& remembered = Remembered();
  std::lock_guard lock(remembered.mutex);
  dropped = std::move(remembered.snapshot);
}

}  // namespace orx::tasks
