// Every step reads the task file as it stands at that call, through the
// record's reader of the list (task_list_reader.h): an unchanged file costs a
// validation and a comparison, and the slot table of an unchanged list is
// shared by every walk, so a walk with lastSlot 0 (which asks at every step
// whether the next slot still lies before the first free one) stays linear
// in the number of tasks.
#include "tasks/task_query.h"

#include "base/caller_buffer.h"

namespace orx::tasks {
namespace {

// Copies slot `slot`'s id (`id`, null for a slot without a key: empty), and
// its key name when the caller asked for it, into the record's buffers.
void Deliver(TaskQuery& record, int32_t slot, const frame::TextView* id) {
  CopyTerminated(id != nullptr ? *id : frame::TextView(), record.idBuffer, record.idCapacity);
  if (record.keyBuffer != nullptr) {
    record.keys.CopyKeyOf(slot, record.keyBuffer, record.keyCapacity);
  }
}

}  // namespace

Status GetFirstTask(QueryHandle* query, char16_t* idBuffer, uint32_t idCapacity,
                    char16_t* keyBuffer, uint32_t keyCapacity) {
  if (idBuffer == nullptr || query == nullptr) return Status::kInvalidParameter;
  *query = 0;
  if (idCapacity < kTaskIdCapacity) return Status::kInsufficientBuffer;
  idBuffer[0] = u'\0';
  frame::ThreadPath path;
  if (Status status = ThreadTaskFilePath(path); !IsOk(status)) return status;
  TaskListReader list;
  // A file that could not be read is not an empty list.
  if (Status status = list.Refresh(path); !IsOk(status)) return status;
  if (!list.IsBeforeFirstFree(1)) return Status::kNoMoreItems;

  // Registered before slot 1 is delivered, so a failed allocation leaves the
  // buffers as they were cleared.
  HeldQuery record = RegisterQuery();
  record->idBuffer = idBuffer;
  record->idCapacity = idCapacity;
  record->keyBuffer = keyBuffer;
  record->keyCapacity = keyCapacity;
  record->list = std::move(list);
  Deliver(*record, 1, record->list.Find(1));
  record->nextSlot = 2;
  *query = record->handle;
  return Status::kOk;
}

Status GetNextTask(QueryHandle query, int32_t lastSlot) {
  HeldQuery record = HoldQuery(query);
  if (!record) return Status::kInvalidParameter;
  record->idBuffer[0] = u'\0';
  frame::ThreadPath path;
  if (Status status = ThreadTaskFilePath(path); !IsOk(status)) return status;
  if (Status status = record->list.Refresh(path); !IsOk(status)) return status;
  const int64_t slot = record->nextSlot;
  const bool ended = lastSlot != 0 ? slot > lastSlot : !record->list.IsBeforeFirstFree(slot);
  if (ended) return Status::kNoMoreItems;
  const auto number = static_cast<int32_t>(slot);
  Deliver(*record, number, record->list.Find(number));
  ++record->nextSlot;
  return Status::kOk;
}

Status CloseQuery(QueryHandle query) {
  return RetireQuery(query) ? Status::kOk : Status::kInvalidParameter;
}

}  // namespace orx::tasks
