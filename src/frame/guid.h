// New task ids: the registry text form of a fresh random GUID, 38
// characters in braces ("{0F3A...-...}"), for the task layer's new-task
// mode.
#ifndef ORX_FRAME_GUID_H_
#define ORX_FRAME_GUID_H_

#include <cstddef>

#include "base/status.h"

namespace orx::frame {

inline constexpr size_t kTaskGuidLength = 38;

// Writes a new GUID's registry text and its terminator into `text`. Returns
// kOk, or the error of the system's random source (50, 5 or 31), in which
// case `text` is the empty string and no id exists.
Status NewTaskGuid(char16_t (&text)[kTaskGuidLength + 1]);

}  // namespace orx::frame

#endif  // ORX_FRAME_GUID_H_
