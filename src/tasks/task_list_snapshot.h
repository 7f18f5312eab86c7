// The remembered snapshot of the task list. An enumeration with lastSlot 0
// makes a free-slot search per step; sharing one snapshot and its slot table
// while the file is unchanged turns all but the first of them into a lookup.
#ifndef ORX_TASKS_TASK_LIST_SNAPSHOT_H_
#define ORX_TASKS_TASK_LIST_SNAPSHOT_H_

#include <memory>
#include <optional>

#include "frame/profile.h"
#include "tasks/slot_table.h"

namespace orx::tasks {

// A snapshot of the task file with its slot table. The snapshot is kept
// alive with the table, so its identity cannot be taken by another document
// while the table is remembered.
class TaskListSnapshot {
 public:
  // Takes the snapshot; the table is built by Index(), so that a snapshot
  // found to be the remembered one costs no pass over the section.
  explicit TaskListSnapshot(const char16_t* path) : view_(path) {}
  void Index() { table_.emplace(view_); }

  const frame::ProfileView& view() const { return view_; }
  const SlotTable& table() const { return *table_; }

 private:
  frame::ProfileView view_;
  std::optional<SlotTable> table_;
};

// The current snapshot of the task file at `path`, shared with everyone who
// asks while the file is unchanged. A file that could not be read gives a
// snapshot of its own with an empty table; its view's load_status() says why.
std::shared_ptr<const TaskListSnapshot> CurrentTaskList(const char16_t* path);

// Lets the remembered snapshot go, once no enumeration needs it: while it is
// remembered, its document stays alive, and an edit of the file must copy
// the cached document instead of taking it over.
void ForgetTaskList();

}  // namespace orx::tasks

#endif  // ORX_TASKS_TASK_LIST_SNAPSHOT_H_
