// Task enumeration: the TaskQuery record behind an enumeration handle and
// the three routines the enumeration exports run. Handles are tokens handed
// out by a registry of live records, never addresses, so a closed handle,
// one that never came from GetFirstTask, or one whose record was freed and
// whose memory now holds another record, is recognised and refused.
#ifndef ORX_TASKS_TASK_QUERY_H_
#define ORX_TASKS_TASK_QUERY_H_

#include <cstdint>
#include <mutex>

#include "base/status.h"

namespace orx::tasks {

// 0 is no handle.
using QueryHandle = uintptr_t;

struct TaskQuery {
  // Kept wider than a slot number: after slot 2147483647 has been delivered
  // the walk ends instead of wrapping round to negative slots.
  int64_t nextSlot = 1;
  char16_t* idBuffer = nullptr;
  uint32_t idCapacity = 0;
  char16_t* keyBuffer = nullptr;
  uint32_t keyCapacity = 0;
  // One thread at a time is the contract; the lock makes a caller's
  // overlap harmless instead of a race.
  std::mutex mutex;
};

// orxGetFirstTask. `*query` is set to 0 once both pointers are checked.
Status GetFirstTask(QueryHandle* query, char16_t* idBuffer, uint32_t idCapacity,
                    char16_t* keyBuffer, uint32_t keyCapacity);

// orxGetNextTask.
Status GetNextTask(QueryHandle query, int32_t lastSlot);

// orxCloseQuery.
Status CloseQuery(QueryHandle query);

}  // namespace orx::tasks

#endif  // ORX_TASKS_TASK_QUERY_H_
