// Compaction runs as one transaction on ormix5.ini: a reader sees the list
// before or after, never a task in two slots or in none, and a killed
// compaction leaves the file as it was.
//
// The moves are planned from one reading of the list. That gives the same
// end state as walking slot by slot and moving as the walk goes: a move
// writes slot newSlot, which is never above the slot being read, and removes
// that slot, so no slot the walk has still to read has changed by then. It
// also lets the plan skip the slots that have no key instead of visiting
// each number up to lastSlot.
#include "tasks/task_shrink.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/property_names.h"
#include "frame/profile.h"
#include "tasks/slot_key.h"
#include "tasks/slot_table.h"
#include "tasks/task_file.h"

namespace orx::tasks {
namespace {

struct Move {
  int32_t from;
  int32_t to;
  std::u16string id;  // owned: the table's views die with the first edit
};

// The moves of the walk up to `lastSlot`, or kNoMoreItems when slot 1 is free
// and the walk cannot open.
Status PlanMoves(const frame::ProfileReader& file, int32_t lastSlot, std::vector<Move>& moves) {
  const SlotTable table(file);
  if (table.first_free() == 1) return Status::kNoMoreItems;
  // With lastSlot 0 the walk ends at the first free slot, so every slot it
  // visits already sits at its newSlot; a negative lastSlot ends it after
  // slot 1. Neither moves anything.
  if (lastSlot <= 0) return Status::kOk;
  int32_t newSlot = 1;
  for (const SlotTable::Slot& slot : table.slots()) {
    if (slot.number > lastSlot) break;
    if (slot.id().empty()) continue;
    if (slot.number != newSlot) moves.push_back({slot.number, newSlot, slot.id().ToU16()});
    ++newSlot;
  }
  return Status::kOk;
}

}  // namespace

Status ShrinkTasks(int32_t lastSlot) {
  frame::SettingsPath path;
  if (Status status = BuildTaskFilePath(path); !IsOk(status)) return status;
  // A list that needs no move is answered from a snapshot: no writer lock,
  // so a caller who may not write the folder still gets 0 or 259.
  // A file that could not be read is not an empty list: the transaction
  // below reads it again and returns the read's error.
  {
    const frame::ProfileView view(path);
    std::vector<Move> moves;
    const Status status = PlanMoves(view, lastSlot, moves);
    if (IsOk(view.load_status()) && (!IsOk(status) || moves.empty())) return status;
  }
  // Planned again under the lock: the list may have changed meanwhile.
  return frame::ProfileTransaction(path, [&](frame::ProfileEditor& file) {
    std::vector<Move> moves;
    if (Status status = PlanMoves(file, lastSlot, moves); !IsOk(status)) return status;
    // The new key first, then the old one removed, as a move by single
    // writes would; inside the transaction only the end state is seen. The
    // writes go as one batch: one by one, each rewrote the whole file's text.
    struct MoveKeys {
      SlotKey to;
      SlotKey from;
    };
    std::vector<MoveKeys> keys(moves.size());
    std::vector<frame::ProfileKeyWrite> writes;
    writes.reserve(2 * moves.size());
    for (size_t i = 0; i < moves.size(); ++i) {
      FormSlotKey(moves[i].to, keys[i].to);
      FormSlotKey(moves[i].from, keys[i].from);
      writes.push_back({keys[i].to, moves[i].id});
      writes.push_back({keys[i].from, std::nullopt});
    }
    return file.WriteSection(catalogue::kTaskListSection, writes);
  });
}

}  // namespace orx::tasks
