// The writer lock of a settings file on POSIX: WriterLock of
// platform/file_system.h, implemented in file_lock.cc. Its Acquire reports
// kPathNotFound when the folder is missing, kAccessDenied when the lock file
// can neither be created nor opened, else the mapped errno of the lock call.
//
// Protocol: a writer of "<folder>/<name>" takes an exclusive flock(2) on the
// companion file "<folder>/<name>.lock" (created on first use, never renamed
// or removed) and holds it for one whole edit: re-reading the file, editing
// the document, writing the temporary file and renaming it over the old one.
// Readers take no lock: the rename swaps the whole file at once, so a reader
// mid-write sees the old file or the new one, complete either way. The kernel
// drops the lock when its holder dies, so a killed writer blocks no one.
//
// The lock file is never removed because removal races: a writer that
// opened the old lock file and one that created a new one would each hold a
// lock, on different files. A settings path that is a symbolic link is
// locked through the file it points at (ResolveTarget), the file that is
// actually replaced, so the link and its target share one lock.
#ifndef ORX_PLATFORM_POSIX_FILE_LOCK_H_
#define ORX_PLATFORM_POSIX_FILE_LOCK_H_

#include <string>

#include "platform/file_system.h"

namespace orx::platform {

// The lock file that belongs to the settings file at `path`.
std::string LockFilePath(const std::string& path);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_POSIX_FILE_LOCK_H_
