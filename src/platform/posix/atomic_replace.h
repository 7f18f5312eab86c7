// Replacing a settings file as one step: the new content is written to a
// temporary file beside the old one, flushed, and renamed over it, so a
// reader or a crash sees the old file or the new one, never a mix. Callers
// hold the file's writer lock (file_lock.h) around ReplaceFile.
#ifndef ORX_PLATFORM_POSIX_ATOMIC_REPLACE_H_
#define ORX_PLATFORM_POSIX_ATOMIC_REPLACE_H_

#include <string>
#include <string_view>

#include "base/result.h"
#include "platform/posix/file_io.h"

namespace orx::platform {

// The file a settings path stands for: `path` itself, or, when its last
// component is a symbolic link, the file the chain of links ends at (which
// need not exist yet). Replacing that file keeps the link a link. Only links
// owned by the effective user or by root are followed. Errors: kAccessDenied
// for a link owned by anyone else, kPathNotFound for a missing folder on the
// way, 1921 for a loop, else the mapped errno.
Result<std::string> ResolveLinks(const std::string& path);

// Makes `bytes` the content of the file at `path` (not a link; see
// ResolveLinks). An existing file's permission bits are kept, and its owner
// and group where the process may set them; a new file gets 0666 less the
// umask. The folder is flushed after the rename so the new name survives a
// crash. Returns the new file's identity.
//
// On any failure before the rename the temporary file is removed and the old
// file is left byte for byte. Errors: kPathNotFound (3) when the folder is
// missing, kAccessDenied (5) when the folder or the existing file may not be
// written, kWriteProtect (19),
// kDiskFull (112), 1117 for an I/O error, and so on. A failure to flush the
// folder after the rename is reported too, though the new content is then in
// place.
Result<FileIdentity> ReplaceFile(const std::string& path, std::string_view bytes);

// Removes temporary files that an earlier writer of `path` left behind when
// it was killed between creating and renaming them. Only the holder of the
// file's writer lock may call this: every other temporary file of `path` is
// then known to be abandoned. Failures are ignored.
void RemoveAbandonedTemporaries(const std::string& path);

// True when `name` (a bare file name) has the form of a temporary file of
// the settings file named `base`.
bool IsTemporaryOf(std::string_view name, std::string_view base);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_POSIX_ATOMIC_REPLACE_H_
