// Task creation, the deleted mark, removal of a task's definition, and the
// fixed answer of the lookup by name. Each routine is what its export runs
// after the guard; every change to the task list happens inside one
// transaction on ormix5.ini, so the slot search and the slot write cannot
// interleave with another writer's.
#ifndef ORX_TASKS_TASK_LIFECYCLE_H_
#define ORX_TASKS_TASK_LIFECYCLE_H_

#include <cstdint>

#include "base/status.h"
#include "frame/profile.h"

namespace orx::tasks {

// orxCreateTask: new-task mode when `idLength` is given, registration of
// the id in `idBuffer` otherwise. A registered id must be one a task's
// section can be written under and must not name a library section
// (access::CheckNewTaskId); it is refused with nothing written otherwise.
Status CreateTask(char16_t* idBuffer, uint32_t* idLength);

// orxDeleteTask: sets the task's Deleted property to "1".
Status DeleteTask(const char16_t* task);

// orxDeleteTaskDefinition: removes the slot key and the task's section in
// one replacement of the file. An id that names a library section is
// refused (kInvalidParameter). For an id no section can be written under,
// only the slot goes, and only when it lists that id; otherwise the
// engine's refusal of the name is returned and nothing changes.
Status DeleteTaskDefinition(const char16_t* slotKey, const char16_t* task);

// orxFindTaskByName.
Status FindTaskByName(const char16_t* name, char16_t* buffer, uint32_t capacity);

// Writes `task` into the first free slot of the document `editor` works on.
// Returns kOk, kNoMoreItems when slots 1 to 10000 are all taken (nothing is
// written: a listed id is never replaced), or the write's error.
Status ListInFreeSlot(frame::ProfileEditor& editor, const char16_t* task);

}  // namespace orx::tasks

#endif  // ORX_TASKS_TASK_LIFECYCLE_H_
