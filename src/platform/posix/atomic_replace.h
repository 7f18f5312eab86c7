// Replacing a settings file as one step on POSIX: the new content is written
// to a temporary file beside the old one, flushed, and renamed over it, so a
// reader or a crash sees the old file or the new one, never a mix. This file
// implements ResolveTarget, ReplaceFile and RemoveAbandonedTemporaries of
// platform/file_system.h; on POSIX, ResolveTarget follows the chain of
// symbolic links of the last component (kPathNotFound for a missing folder
// on the way, 1921 for a loop), and ReplaceFile keeps an existing file's
// permission bits, and its owner and group where the process may set them,
// gives a new file 0666 less the umask, and flushes the folder after the
// rename so the new name survives a crash (a failure of that flush is
// reported, though the new content is then in place).
#ifndef ORX_PLATFORM_POSIX_ATOMIC_REPLACE_H_
#define ORX_PLATFORM_POSIX_ATOMIC_REPLACE_H_

#include <string_view>

#include "platform/file_system.h"

namespace orx::platform {

// True when `name` (a bare file name) has the form of a temporary file of
// the settings file named `base`.
bool IsTemporaryOf(std::string_view name, std::string_view base);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_POSIX_ATOMIC_REPLACE_H_
