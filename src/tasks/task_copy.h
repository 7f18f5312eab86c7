// The task copy: a new task listed in the first free slot, holding every
// task property of its source, with a label derived from the source's label
// through the localized copy-label format.
#ifndef ORX_TASKS_TASK_COPY_H_
#define ORX_TASKS_TASK_COPY_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"

namespace orx::tasks {

// orxCopyTaskDefinition. A source id that names a library section is
// refused (kInvalidParameter) before anything is read or written.
Status CopyTaskDefinition(const char16_t* source, char16_t* idBuffer, uint32_t* idLength);

// The copied task's label: `format` with its first "%s" replaced by
// `label`, each "%%" turned into "%", and every other unit as it stands. The
// format comes from a language module on disk, so it is never handed to a
// printf-style call: "%n", "%d" or a second "%s" are plain text here.
std::u16string FormatCopiedLabel(std::u16string_view format, std::u16string_view label);

}  // namespace orx::tasks

#endif  // ORX_TASKS_TASK_COPY_H_
