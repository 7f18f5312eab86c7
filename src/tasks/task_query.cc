// Every step reads the task file as it stands at that call, through the
// remembered snapshot of the task list: an unchanged file costs one validation
// and a lookup, so a walk with lastSlot 0 (a free-slot search per step)
// stays linear in the number of tasks.
#include "tasks/task_query.h"

#include <memory>
#include <unordered_map>

#include "tasks/slot_table.h"
#include "tasks/task_file.h"
#include "tasks/task_list_snapshot.h"

namespace orx::tasks {
namespace {

// The live enumeration records, by handle. Never destroyed, so a handle used
// while the process exits still meets a valid registry.
struct QueryRegistry {
  std::mutex mutex;
  QueryHandle last_handle = 0;
  std::unordered_map<QueryHandle, std::shared_ptr<TaskQuery>> live;
};

QueryRegistry& Registry() {
  static auto* registry = new QueryRegistry;
  return *registry;
}

QueryHandle Register(std::shared_ptr<TaskQuery> record) {
  QueryRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  const QueryHandle handle = ++registry.last_handle;
  registry.live.emplace(handle, std::move(record));
  return handle;
}

// The record stays alive while the caller holds the returned pointer, even
// if another thread closes the handle meanwhile.
std::shared_ptr<TaskQuery> Lookup(QueryHandle handle) {
  QueryRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  const auto found = registry.live.find(handle);
  return found == registry.live.end() ? nullptr : found->second;
}

// Each read works on copies of the capacities: the record's never change.
void Deliver(const SlotTable& table, int32_t slot, const TaskQuery& record) {
  uint32_t idLength = record.idCapacity;
  uint32_t keyLength = record.keyCapacity;
  ReadTaskSlot(table, slot, record.idBuffer, &idLength, record.keyBuffer,
               record.keyBuffer != nullptr ? &keyLength : nullptr);
}

}  // namespace

Status GetFirstTask(QueryHandle* query, char16_t* idBuffer, uint32_t idCapacity,
                    char16_t* keyBuffer, uint32_t keyCapacity) {
  if (idBuffer == nullptr || query == nullptr) return Status::kInvalidParameter;
  *query = 0;
  if (idCapacity < kTaskIdCapacity) return Status::kInsufficientBuffer;
  idBuffer[0] = u'\0';
  frame::SettingsPath path;
  if (Status status = BuildTaskFilePath(path); !IsOk(status)) return status;
  const std::shared_ptr<const TaskListSnapshot> list = CurrentTaskList(path);
  // A file that could not be read is not an empty list.
  if (Status status = list->view().load_status(); !IsOk(status)) return status;
  if (list->table().first_free() == 1) return Status::kNoMoreItems;

  auto record = std::make_shared<TaskQuery>();
  record->idBuffer = idBuffer;
  record->idCapacity = idCapacity;
  record->keyBuffer = keyBuffer;
  record->keyCapacity = keyCapacity;
  // Registered before slot 1 is read, so a failed allocation leaves the
  // buffers as they were cleared.
  const QueryHandle handle = Register(record);
  Deliver(list->table(), 1, *record);
  record->nextSlot = 2;
  *query = handle;
  return Status::kOk;
}

Status GetNextTask(QueryHandle query, int32_t lastSlot) {
  const std::shared_ptr<TaskQuery> record = Lookup(query);
  if (record == nullptr) return Status::kInvalidParameter;
  std::lock_guard lock(record->mutex);
  record->idBuffer[0] = u'\0';
  frame::SettingsPath path;
  if (Status status = BuildTaskFilePath(path); !IsOk(status)) return status;
  const std::shared_ptr<const TaskListSnapshot> list = CurrentTaskList(path);
  if (Status status = list->view().load_status(); !IsOk(status)) return status;
  const bool ended =
      lastSlot != 0 ? record->nextSlot > lastSlot : record->nextSlot >= list->table().first_free();
  if (ended) return Status::kNoMoreItems;
  Deliver(list->table(), static_cast<int32_t>(record->nextSlot), *record);
  ++record->nextSlot;
  return Status::kOk;
}

Status CloseQuery(QueryHandle query) {
  QueryRegistry& registry = Registry();
  bool last = false;
  {
    std::lock_guard lock(registry.mutex);
    if (registry.live.erase(query) != 1) return Status::kInvalidParameter;
    last = registry.live.empty();
  }
  // A walk that starts meanwhile remembers the list again; it only costs
  // that walk one pass over the section.
  if (last) ForgetTaskList();
  return Status::kOk;
}

}  // namespace orx::tasks
