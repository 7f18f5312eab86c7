// The narrow file interface under the settings store: everything the store's
// cache and edit cycle (profile_store.cc) need from the operating system, and
// nothing more. Each platform implements these functions once (posix/ here;
// a second platform supplies its own files with the same declarations), so
// the cache, the racy-read rule and the locked edit cycle exist in one copy.
//
// Every function keeps the platform's own semantics; what all of them must
// share is written beside each declaration.
#ifndef ORX_PLATFORM_FILE_SYSTEM_H_
#define ORX_PLATFORM_FILE_SYSTEM_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"
#include "platform/ini/encoding.h"

namespace orx::platform {

// The system's own spelling of a path: file-system bytes on POSIX, UTF-16 on
// Windows.
#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

// The native form of a UTF-16 settings path (on POSIX, EncodePath: bytes
// that are not UTF-8 come back as they were). kInvalidName for a path holding
// a NUL, which no file name may.
Result<NativePath> ToNativePath(std::u16string_view path);

// Enough about a file to notice any change: a rewrite in place changes the
// size or a time, a replacement changes the file id or a time. The file id
// alone is not enough, since a freed id is handed to the next file created,
// often the very next temporary file of a rewrite.
struct FileIdentity {
  uint64_t volume = 0;   // the device (POSIX) or volume serial number
  uint64_t file_id = 0;  // the inode (POSIX) or file index
  int64_t size = 0;
  int64_t mtime_ns = 0;
  int64_t ctime_ns = 0;

  // Every field compared, without a branch per field: a cached read and an
  // enumeration step make this comparison after each stat().
  friend bool operator==(const FileIdentity& a, const FileIdentity& b) {
    return ((a.volume ^ b.volume) | (a.file_id ^ b.file_id) |
            static_cast<uint64_t>((a.size ^ b.size) | (a.mtime_ns ^ b.mtime_ns) |
                                  (a.ctime_ns ^ b.ctime_ns))) == 0;
  }
};

struct FileContents {
  std::string bytes;
  FileIdentity identity;
  // The real-time clock just before the bytes were read; see IsRacilyClean.
  int64_t read_started_ns = 0;
};

// The default size cap of ReadWholeFile; a settings file is a few megabytes
// at most.
inline constexpr int64_t kMaxSettingsFileSize = int64_t{1} << 30;

// How long a writer waits for another before giving up with
// kSharingViolation (32), the error a locked file gives on Windows.
inline constexpr std::chrono::milliseconds kWriterLockTimeout{10'000};

// The identity of the file at `path`, following links. Errors: kFileNotFound
// when the file is missing, kPathNotFound when a folder on the way is missing
// or not a folder, else the system's error (5, 206, ...).
Result<FileIdentity> StatFile(const NativePath& path);

// Reads the whole regular file at `path`; the bytes returned belong to the
// identity returned (a file that changes during the read is read again, a
// few times at most). Opening never blocks. Errors: as StatFile;
// kAccessDenied for a file that may not be read and for anything that is not
// a regular file; kFileTooLarge (223) for a file of more than `max_size`
// bytes, also when it grows past that during the read, and no more than
// `max_size` + 1 bytes are ever held; the system's error of a failed read.
Result<FileContents> ReadWholeFile(const NativePath& path, int64_t max_size = kMaxSettingsFileSize);

// What CompareWithFile checks a file against: called with the file's bytes
// in order, a piece at a time; false as soon as they are not the ones
// expected.
using ExpectedBytes = std::function<bool(std::string_view next)>;

// What CompareWithFile found: `same` when the file held `expected_size`
// bytes, every piece of them accepted, with `identity` unchanged from before
// the comparison to after it.
struct FileComparison {
  bool same = false;
  FileIdentity identity;
  // The real-time clock just before the file was read; see IsRacilyClean.
  int64_t read_started_ns = 0;
};

// Compares the file at `path` with what `expected` accepts as it reads it,
// holding no copy of the file on POSIX: cheaper than ReadWholeFile when the
// caller can tell the bytes the file most likely holds. A file of another
// size is not the same and is not read. Whether `expected` wanted more bytes
// than it got is for the caller to ask it. Errors: as ReadWholeFile's open;
// a file that is not a regular file, or changes during the comparison, is
// reported as not the same, and ReadWholeFile then tells what it is.
Result<FileComparison> CompareWithFile(const NativePath& path, int64_t expected_size,
                                       const ExpectedBytes& expected);

// True when a document read from a file of this identity, starting at
// `read_started_ns`, may not be trusted on a later call even if the identity
// is then unchanged: the file changed less than one timestamp tick before it
// was read, so a second change within that same tick could keep every field
// of the identity. Such a document must be compared with the file again.
bool IsRacilyClean(const FileIdentity& identity, int64_t read_started_ns);

// IsRacilyClean for the document a writer has just written with ReplaceFile,
// which returned `written`. Where ReplaceFile could date the new file's
// modification time before the time of its last write, any later write,
// however soon, shows in the identity, and the writer's document may be
// trusted at once. Other processes still judge the file by IsRacilyClean.
bool IsRacilyWritten(const FileIdentity& written);

// The real-time clock, in nanoseconds since the epoch, on the scale of
// FileIdentity's times.
int64_t NowNs();

// The file a settings path stands for: on POSIX `path` itself or, when its
// last component is a symbolic link, the file the chain of links ends at
// (which need not exist yet); on Windows the path itself. Replacing that file
// keeps a link a link. A link is followed only when it belongs to the
// effective user or to root; another user's link gives kAccessDenied, so a
// planted link cannot steer a privileged writer to a file of its choosing.
Result<NativePath> ResolveTarget(const NativePath& path);

// The bytes of a new file for ReplaceFile, in order: each call gives the
// next piece, valid until the next call; an empty piece ends the file, and
// nullopt abandons the write.
using ByteSource = std::function<std::optional<std::string_view>()>;

// Makes the bytes `source` gives the content of the file at `target` (a
// resolved path) in one step: a reader or a crash sees the old file or the
// new one, never a mix. The pieces are written as they come, so a writer
// never needs the whole file in memory. An existing file's permissions are
// kept and a read-only file is never replaced (kAccessDenied). On any
// failure the old file is left byte for byte and no temporary file remains.
// Errors: kPathNotFound (3) for a missing folder, kAccessDenied (5),
// kWriteProtect (19), kDiskFull (112), kGenFailure (31) when `source`
// abandons the write, and the system's other errors. Returns the new file's
// identity. Callers hold the file's WriterLock.
Result<FileIdentity> ReplaceFile(const NativePath& target, const ByteSource& source);

// A source of `bytes` in one piece; they must outlive it.
inline ByteSource WholeBytes(std::string_view bytes) {
  return [bytes, given = false]() mutable -> std::optional<std::string_view> {
    if (given) return std::string_view();
    given = true;
    return bytes;
  };
}

// ReplaceFile for bytes held whole.
inline Result<FileIdentity> ReplaceFile(const NativePath& target, std::string_view bytes) {
  return ReplaceFile(target, WholeBytes(bytes));
}

// Removes temporary files an earlier writer of `target` left behind when it
// was killed between creating and renaming them. Only the holder of the
// file's WriterLock may call this. Failures are ignored.
void RemoveAbandonedTemporaries(const NativePath& target);

// How this platform's settings files are encoded where a file names no
// encoding itself (ini/encoding.h): the default rules on POSIX, the ANSI code
// page rules on Windows, where the platform's own profile functions share the
// files.
const ini::EncodingRules& PlatformEncodingRules();

// Holds the writer lock of one settings file, which orders its writers in
// threads and processes alike; released when destroyed, and by the system
// when the holder dies. Readers take no lock.
class WriterLock {
 public:
  // Takes the lock of the settings file at `target` (a resolved path),
  // waiting at most `timeout`. Errors: kSharingViolation (32) when the wait
  // runs out; kPathNotFound when the folder is missing; kAccessDenied when
  // the lock cannot be set up; else the system's error.
  static Result<WriterLock> Acquire(const NativePath& target,
                                    std::chrono::milliseconds timeout = kWriterLockTimeout);

  WriterLock(WriterLock&& other) noexcept;
  WriterLock& operator=(WriterLock&&) = delete;
  WriterLock(const WriterLock&) = delete;
  ~WriterLock();

 private:
  // What the platform holds while the lock is taken; each platform defines
  // it, and its destructor releases the lock.
  struct Held;

  explicit WriterLock(std::unique_ptr<Held> held);

  std::unique_ptr<Held> held_;
};

}  // namespace orx::platform

#endif  // ORX_PLATFORM_FILE_SYSTEM_H_
