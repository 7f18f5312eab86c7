// The settings-file store: the one door through which the library reads and
// writes INI files. Everything above the platform layer reaches it through
// the frame's profile wrappers (frame/profile.h).
//
// Guarantees of the implementation (platform/posix/profile_store_posix.cc):
//   - A read sees the file as it is now: a cached document is used only while
//     the file's identity (device, inode, size, modification and change times
//     in nanoseconds) is unchanged and the document was not read within the
//     file system's timestamp granularity of its last change.
//   - A write is atomic: the new file is built in a temporary file in the same
//     folder, flushed, and renamed over the old one; a failed or killed write
//     leaves the old file and no temporary file. Mode and symbolic links are
//     kept (the link's target is replaced).
//   - Writers of one file, in threads or processes, are serialised by a
//     kernel lock on a companion lock file, and each edit re-reads the file
//     under that lock, so no update is lost. Readers take no lock.
#ifndef ORX_PLATFORM_PROFILE_STORE_H_
#define ORX_PLATFORM_PROFILE_STORE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "base/result.h"
#include "base/status.h"
#include "platform/ini/document.h"

namespace orx::platform {

// A parsed file at one moment. Immutable and shared: it stays valid however
// the file changes afterwards.
using Snapshot = std::shared_ptr<const ini::Document>;

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;

  // The document of the file at `path` (UTF-16; see DecodePath). A missing
  // file or folder gives an empty document. A file that exists but cannot be
  // read gives the error (5 access denied, an I/O error's number, ...).
  virtual Result<Snapshot> Load(std::u16string_view path) = 0;

  // Runs `edit` on the current document of `path` under the file's writer
  // lock, re-read under that lock. When `edit` returns kOk and has changed
  // the document, writes the file once and returns the write's status; when
  // it changed nothing, writes nothing (no file is created). A status other
  // than kOk from `edit` is returned as it is and nothing is written. A file
  // that exists but cannot be read is never replaced: its error is returned
  // and `edit` does not run. Errors: 3 for a missing folder, 5 for a folder
  // or file that may not be written, 112 for a full disk, 206 for a path
  // too long for the system, 32 when another writer holds the lock too long.
  //
  // For a missing file, `edit` first runs on an empty document before the
  // lock is taken, so that an edit changing nothing leaves no trace in the
  // folder; should another writer create the file meanwhile, `edit` runs a
  // second time on that file's document, and only that run counts.
  virtual Status Edit(std::u16string_view path,
                      const std::function<Status(ini::Document&)>& edit) = 0;
};

// The process-wide store, with its cache of parsed documents.
ProfileStore& DefaultProfileStore();

// The calling thread's last error, as the platform's GetLastError keeps it:
// set by the profile wrappers on failure and after a read that fell back to
// a default.
uint32_t LastError();
void SetLastError(uint32_t error);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_PROFILE_STORE_H_
