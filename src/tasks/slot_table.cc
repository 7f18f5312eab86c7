// The slot table builds on the key grammar of slot_key, so the free-slot
// search and compaction agree with what a profile read of "Task<n>" would
// find, which is how an enumeration reads each slot.
#include "tasks/slot_table.h"

#include <algorithm>

#include "catalogue/property_names.h"
#include "frame/names.h"
#include "tasks/slot_key.h"

namespace orx::tasks {

SlotTable::SlotTable(const frame::ProfileReader& reader) {
  reader.ForEachValue(catalogue::kTaskListSection,
                      [this](frame::TextView key, frame::TextView value) {
                        if (const std::optional<int32_t> number = SlotNumberOf(key)) {
                          slots_.push_back({value, *number});
                        }
                        return true;
                      });
  // Lists are mostly written in order, one key per slot: such a list needs
  // neither the sort nor its buffer. Otherwise a stable sort keeps the first
  // of several keys for one slot in front, and that is the one a profile read
  // finds.
  const auto before = [](const Slot& a, const Slot& b) { return a.number < b.number; };
  const auto out_of_order = [](const Slot& a, const Slot& b) { return a.number >= b.number; };
  if (std::adjacent_find(slots_.begin(), slots_.end(), out_of_order) != slots_.end()) {
    std::stable_sort(slots_.begin(), slots_.end(), before);
    slots_.erase(std::unique(slots_.begin(), slots_.end(),
                             [](const Slot& a, const Slot& b) { return a.number == b.number; }),
                 slots_.end());
  }
  // A table may be remembered between enumerations; growth by doubling can
  // leave it almost half unused.
  slots_.shrink_to_fit();
  for (const Slot& slot : slots_) {
    if (slot.number != first_free_ || slot.id().empty()) break;
    if (++first_free_ == kNoFreeSlot) break;
  }
}

const frame::TextView* SlotTable::FindOutOfPlace(int32_t number) const {
  const auto found = std::lower_bound(slots_.begin(), slots_.end(), number,
                                      [](const Slot& slot, int32_t n) { return slot.number < n; });
  if (found == slots_.end() || found->number != number) return nullptr;
  return &found->text;
}

int32_t FindFreeTaskSlot(const frame::ProfileReader& reader) {
  return SlotTable(reader).first_free();
}

bool IsTaskListed(const frame::ProfileReader& reader, std::u16string_view task) {
  bool listed = false;
  reader.ForEachValue(catalogue::kTaskListSection, [&](frame::TextView, frame::TextView value) {
    listed = frame::EqualsIgnoreCase(value, task);
    return !listed;
  });
  return listed;
}

}  // namespace orx::tasks
