// Task ids become section names of the main settings file, so an id must not
// reach a section the library itself keeps there: the task list, the
// placeholder of the task rows, or any section of general settings. A write
// or removal through such an id would edit that section instead of a task's.
#ifndef ORX_ACCESS_TASK_ID_H_
#define ORX_ACCESS_TASK_ID_H_

#include <string_view>

#include "base/status.h"

namespace orx::access {

// True when a section lookup under `task` (blanks trimmed, letter case
// ignored, as the engine matches names) would find a section that the
// catalogue places in the main settings file.
bool NamesLibrarySection(std::u16string_view task);

// Whether `task` may become a task's section: kInvalidParameter for a null
// id or one that names a library section; otherwise the engine's status for
// writing a section of that name (kInvalidParameter for a line break or ']',
// kNoUnicodeTranslation for a lone surrogate), kOk when it can.
Status CheckNewTaskId(const char16_t* task);

}  // namespace orx::access

#endif  // ORX_ACCESS_TASK_ID_H_
