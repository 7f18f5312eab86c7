// The task list: the slot keys "Task1", "Task2", ... of the task-list section
// of the main settings file, each holding one task id; an empty value or a
// missing key is a free slot. Everything here reads one document (a snapshot
// or a transaction's working copy) instead of making a file call per probe,
// so a free-slot search costs one pass over the section whatever the list
// holds.
#ifndef ORX_TASKS_SLOT_TABLE_H_
#define ORX_TASKS_SLOT_TABLE_H_

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "frame/profile.h"

namespace orx::tasks {

// The free-slot search covers slots 1 to 10000; it yields kNoFreeSlot when
// all of them are taken.
inline constexpr int32_t kLastSearchedSlot = 10000;
inline constexpr int32_t kNoFreeSlot = kLastSearchedSlot + 1;

// The slot keys of one document, gathered in one pass over the task-list
// section: for every positive slot number, what a profile read of its key
// returns (the first key of that name, matched without regard to case,
// quotes removed). Holds views into the document: it must not be read once
// the document is gone or edited.
class SlotTable {
 public:
  struct Slot {
    frame::TextView text;
    int32_t number;
    // Empty for a free slot that has a key.
    frame::TextView id() const { return text; }
  };

  explicit SlotTable(const frame::ProfileReader& reader);

  // The value of slot `number`, or null when it has no key. Lists are mostly
  // numbered from 1 without gaps, which puts a slot at the index of its
  // number: a walk then finds each slot without a search.
  const frame::TextView* Find(int32_t number) const {
    if (number >= 1 && static_cast<size_t>(number) <= slots_.size() &&
        slots_[number - 1].number == number) [[likely]] {
      return &slots_[number - 1].text;
    }
    return FindOutOfPlace(number);
  }

  // The first free slot from 1 to 10000, or kNoFreeSlot.
  int32_t first_free() const { return first_free_; }

  // Every slot that has a key, in ascending order of number.
  const std::vector<Slot>& slots() const { return slots_; }

 private:
  const frame::TextView* FindOutOfPlace(int32_t number) const;

  std::vector<Slot> slots_;
  int32_t first_free_ = 1;
};

int32_t FindFreeTaskSlot(const frame::ProfileReader& reader);

// True when some key of the task-list section (not only the slot keys) holds
// `task` as its value, compared without regard to case. The whole section is
// seen, however long.
bool IsTaskListed(const frame::ProfileReader& reader, std::u16string_view task);

}  // namespace orx::tasks

#endif  // ORX_TASKS_SLOT_TABLE_H_
