// The task list as an enumeration reads it, step after step. Each step sees
// the file as it stands at that call. The slot table of the last snapshot
// read is remembered process-wide beside a watch on that snapshot, without
// holding its document: while the file is unchanged, a step costs one
// validation (a stat()) and a comparison, and a new walk of an unchanged
// list makes no pass over it; yet an edit of the file still takes the cached
// document over instead of copying it.
#ifndef ORX_TASKS_TASK_LIST_READER_H_
#define ORX_TASKS_TASK_LIST_READER_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "base/status.h"
#include "frame/profile.h"
#include "tasks/slot_table.h"
#include "tasks/task_file.h"

namespace orx::tasks {

// A slot table and the snapshot it was built from.
struct WatchedSlotTable {
  explicit WatchedSlotTable(const frame::ProfileView& view) : watch(view), table(view) {}

  frame::SnapshotWatch watch;
  // Views into the watched document: read only while the watch matches.
  SlotTable table;
};

class TaskListReader {
 public:
  // Brings the reader up to date with the file at `path`. kOk, or why the
  // file could not be read (the reader then holds nothing, since the empty
  // snapshot of an unreadable file is no empty list). After kOk, Find and
  // IsBeforeFirstFree answer from the file as it was at this call, until
  // the calling thread's next profile call.
  // Inline up to the check of an unchanged list, which is nearly every step.
  Status Refresh(const frame::ThreadPath& path) {
    read_.reset();
    const void* current = frame::CurrentProfileIdentity(path);
    if (table_ != nullptr && table_->watch.Matches(current)) [[likely]] {
      return Status::kOk;
    }
    return RefreshChanged(path, current);
  }

  // What a profile read of slot `slot`'s key finds, or null when the key
  // is missing. Inline, like the next: each step of a walk asks both.
  const frame::TextView* Find(int32_t slot) const { return table_->table.Find(slot); }

  // True when slot `slot` lies before the first free slot of the searched
  // range (1 to 10000): every slot from 1 to `slot` holds an id.
  bool IsBeforeFirstFree(int64_t slot) const { return slot < table_->table.first_free(); }

  // Lets go of everything, the document of a snapshot read by the last
  // Refresh included.
  void Clear();

 private:
  // Refresh once the table held, if any, is not that of `current`, the
  // identity of the file's document now.
  Status RefreshChanged(const frame::ThreadPath& path, const void* current);

  std::shared_ptr<const WatchedSlotTable> table_;
  // The snapshot a Refresh had to read, held until the next Refresh: the
  // watch alone does not keep the document alive.
  std::optional<frame::ProfileView> read_;
};

}  // namespace orx::tasks

#endif  // ORX_TASKS_TASK_LIST_READER_H_
