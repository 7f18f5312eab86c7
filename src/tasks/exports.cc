// The nine task exports: each runs one routine of the task layer inside the
// export guard. Enumeration handles cross the boundary as the registry's
// tokens in the shape of the opaque handle type.
#include "frame/abi_text.h"
#include "frame/export_guard.h"
#include "orxProperty.h"
#include "tasks/task_copy.h"
#include "tasks/task_lifecycle.h"
#include "tasks/task_query.h"
#include "tasks/task_shrink.h"

namespace {

using orx::frame::Internal;

orx::tasks::QueryHandle FromAbi(orxQuery query) { return reinterpret_cast<uintptr_t>(query); }
orxQuery ToAbi(orx::tasks::QueryHandle handle) { return reinterpret_cast<orxQuery>(handle); }

}  // namespace

extern "C" {

ORX_API int32_t ORX_CALL orxCreateTask(orxChar* idBuffer, uint32_t* idLength) {
  return orx::frame::GuardExport(
      [&] { return orx::tasks::CreateTask(Internal(idBuffer), idLength); });
}

ORX_API int32_t ORX_CALL orxDeleteTask(const orxChar* task) {
  return orx::frame::GuardExport([&] { return orx::tasks::DeleteTask(Internal(task)); });
}

ORX_API int32_t ORX_CALL orxDeleteTaskDefinition(const orxChar* slotKey, const orxChar* task) {
  return orx::frame::GuardExport(
      [&] { return orx::tasks::DeleteTaskDefinition(Internal(slotKey), Internal(task)); });
}

ORX_API int32_t ORX_CALL orxFindTaskByName(const orxChar* name, orxChar* buffer,
                                           uint32_t capacity) {
  return orx::frame::GuardExport(
      [&] { return orx::tasks::FindTaskByName(Internal(name), Internal(buffer), capacity); });
}

ORX_API int32_t ORX_CALL orxGetFirstTask(orxQuery* query, orxChar* idBuffer, uint32_t idCapacity,
                                         orxChar* keyBuffer, uint32_t keyCapacity) {
  return orx::frame::GuardExport([&] {
    if (idBuffer == nullptr || query == nullptr) return orx::Status::kInvalidParameter;
    // Cleared here as well, so that a failed allocation leaves no handle.
    *query = nullptr;
    orx::tasks::QueryHandle handle = 0;
    const orx::Status status = orx::tasks::GetFirstTask(&handle, Internal(idBuffer), idCapacity,
                                                        Internal(keyBuffer), keyCapacity);
    *query = ToAbi(handle);
    return status;
  });
}

ORX_API int32_t ORX_CALL orxGetNextTask(orxQuery query, int32_t lastSlot) {
  return orx::frame::GuardExport([&] { return orx::tasks::GetNextTask(FromAbi(query), lastSlot); });
}

ORX_API int32_t ORX_CALL orxCloseQuery(orxQuery query) {
  return orx::frame::GuardExport([&] { return orx::tasks::CloseQuery(FromAbi(query)); });
}

ORX_API int32_t ORX_CALL orxCopyTaskDefinition(const orxChar* source, orxChar* idBuffer,
                                               uint32_t* idLength) {
  return orx::frame::GuardExport([&] {
    return orx::tasks::CopyTaskDefinition(Internal(source), Internal(idBuffer), idLength);
  });
}

ORX_API int32_t ORX_CALL orxShrinkTasks(int32_t lastSlot) {
  return orx::frame::GuardExport([&] { return orx::tasks::ShrinkTasks(lastSlot); });
}

}  // extern "C"
