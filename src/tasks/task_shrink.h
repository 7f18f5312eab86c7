// Compaction of the task list: the listed tasks move down to slots 1, 2,
// 3, ... in their order, provided slot 1 is listed.
#ifndef ORX_TASKS_TASK_SHRINK_H_
#define ORX_TASKS_TASK_SHRINK_H_

#include <cstdint>

#include "base/status.h"

namespace orx::tasks {

// orxShrinkTasks: visits slots as orxGetNextTask(query, lastSlot) would.
Status ShrinkTasks(int32_t lastSlot);

}  // namespace orx::tasks

#endif  // ORX_TASKS_TASK_SHRINK_H_
