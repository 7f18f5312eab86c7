// Task enumeration: the three routines the enumeration exports run, over
// the records and handles of query_registry.h.
#ifndef ORX_TASKS_TASK_QUERY_H_
#define ORX_TASKS_TASK_QUERY_H_

#include <cstdint>

#include "base/status.h"
#include "tasks/query_registry.h"

namespace orx::tasks {

// orxGetFirstTask. `*query` is set to 0 once both pointers are checked.
Status GetFirstTask(QueryHandle* query, char16_t* idBuffer, uint32_t idCapacity,
                    char16_t* keyBuffer, uint32_t keyCapacity);

// orxGetNextTask.
Status GetNextTask(QueryHandle query, int32_t lastSlot);

// orxCloseQuery.
Status CloseQuery(QueryHandle query);

}  // namespace orx::tasks

#endif  // ORX_TASKS_TASK_QUERY_H_
