// The task list: the TaskSlot keys "Task1", "Task2", ... of section Scanner
// in ormix5.ini, each holding one task id; an empty value or a missing key
// is a free slot. Everything here reads one document (a snapshot or a
// transaction's working copy) instead of making a file call per probe, so a
// free-slot search costs one pass over the section whatever the list holds.
#ifndef ORX_TASKS_TASK_SLOTS_H_
#define ORX_TASKS_TASK_SLOTS_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "base/status.h"
#include "frame/profile.h"
#include "frame/settings_path.h"

namespace orx::tasks {

inline constexpr char16_t kTaskFile[] = u"ormix5.ini";
inline constexpr char16_t kScannerSection[] = u"Scanner";

// The free-slot search covers slots 1 to 10000; it yields kNoFreeSlot when
// all of them are taken.
inline constexpr int32_t kLastSearchedSlot = 10000;
inline constexpr int32_t kNoFreeSlot = kLastSearchedSlot + 1;

// Task-id buffers must hold a 38-unit GUID text and its terminator.
inline constexpr uint32_t kTaskIdCapacity = 39;

// "Task" and a slot number in decimal; the longest is "Task-2147483648".
inline constexpr int kSlotKeyCapacity = 16;
using SlotKey = char16_t[kSlotKeyCapacity];
void FormSlotKey(int32_t slot, SlotKey& key);

// The TaskSlot keys of one document, gathered in one pass over Scanner: for
// every positive slot number, what a profile read of its key returns (the
// first key of that name, matched without regard to case, quotes removed).
// Holds views into the document: it must not outlive the reader, nor be used
// after the document is edited.
class SlotTable {
 public:
  struct Slot {
    int32_t number;
    std::u16string_view id;  // empty for a free slot that has a key
  };

  explicit SlotTable(const frame::ProfileReader& reader);

  // The value of slot `number`, or nullopt when it has no key.
  std::optional<std::u16string_view> Find(int32_t number) const;

  // FindFreeTaskSlot: the first free slot from 1 to 10000, or kNoFreeSlot.
  int32_t first_free() const { return first_free_; }

  // Every slot that has a key, in ascending order of number.
  const std::vector<Slot>& slots() const { return slots_; }

 private:
  std::vector<Slot> slots_;
  int32_t first_free_ = 1;
};

int32_t FindFreeTaskSlot(const frame::ProfileReader& reader);

// True when some key of Scanner (not only the TaskSlot keys) holds `task` as
// its value, compared without regard to case. The whole section is seen,
// however long.
bool IsTaskListed(const frame::ProfileReader& reader, std::u16string_view task);

// Reads slot `slot` into `valueBuffer` (capacity *valueLength, cut to
// capacity-1 and terminated) and sets *valueLength to the length read. When
// `keyBuffer` and `keyLength` are both given, copies the key name with a
// bounded copy of *keyLength units (zero-filled; a name that does not fit is
// left unterminated) and sets *keyLength to the whole name's length.
// Returns true when the slot is free.
bool ReadTaskSlot(const SlotTable& table, int32_t slot, char16_t* valueBuffer,
                  uint32_t* valueLength, char16_t* keyBuffer, uint32_t* keyLength);

// A snapshot of the task file with its slot table, shared by everyone who
// asks while the file is unchanged: an enumeration with lastSlot 0 makes a
// free-slot search per step, and this turns all but the first of them into
// a lookup. The snapshot is kept alive with the table, so its identity
// cannot be taken by another document while the table is remembered.
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

// The current snapshot of the task file at `path`.
std::shared_ptr<const TaskListSnapshot> CurrentTaskList(const char16_t* path);

// The settings path of ormix5.ini.
Status BuildTaskFilePath(frame::SettingsPath& path);

// The status of a profile write that returned false; never kOk, even when
// the engine recorded no reason.
Status LastWriteError();

// Copies `text` into `buffer` cut to size-1 units and terminated (size 0:
// nothing). Returns the number of units copied.
uint32_t CopyCut(std::u16string_view text, char16_t* buffer, uint32_t size);

// Copies `text` into exactly `size` units of `buffer`, filling the rest with
// zeros; a text of `size` units or more is cut and left unterminated.
void BoundedCopy(std::u16string_view text, char16_t* buffer, uint32_t size);

}  // namespace orx::tasks

#endif  // ORX_TASKS_TASK_SLOTS_H_
