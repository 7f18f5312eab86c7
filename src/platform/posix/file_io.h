// Reading a settings file whole, and the identity by which the cache decides
// whether a file has changed since it was read. Paths here are the file
// system's own bytes (EncodePath of the UTF-16 path).
#ifndef ORX_PLATFORM_POSIX_FILE_IO_H_
#define ORX_PLATFORM_POSIX_FILE_IO_H_

#include <cstdint>
#include <string>

#include "base/result.h"

namespace orx::platform {

// What stat() tells about a file, enough to notice any change: a rewrite in
// place changes size or a time, a replacement changes the inode or a time.
// The inode alone is not enough, since a freed inode number is handed to the
// next file created, often the very next temporary file of a rewrite.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t mtime_ns = 0;
  int64_t ctime_ns = 0;

  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at `path`, following symbolic links. Errors:
// kFileNotFound when the file is missing, kPathNotFound when a folder on the
// way is missing or not a folder, else the mapped errno (5, 206, ...).
Result<FileIdentity> StatFile(const std::string& path);

struct FileContents {
  std::string bytes;
  FileIdentity identity;
  // The real-time clock just before the bytes were read; see IsRacilyClean.
  int64_t read_started_ns = 0;
};

// Files larger than this are refused with ERROR_FILE_TOO_LARGE (223) rather
// than read into memory; a settings file is a few megabytes at most.
inline constexpr int64_t kMaxSettingsFileSize = int64_t{1} << 30;

// Reads the whole regular file at `path`. A file that changes while it is
// read is read again (a few times at most). Errors: kFileNotFound and
// kPathNotFound as StatFile; kAccessDenied for a file that may not be read
// and for anything that is not a regular file (a folder, a FIFO); the mapped
// errno of a failed read (1117 for an I/O error).
Result<FileContents> ReadWholeFile(const std::string& path);

// True when a document read from a file of this identity, starting at
// `read_started_ns`, may not be trusted on a later call even if the identity
// is then unchanged: the file changed less than one timestamp tick before it
// was read, so a second change within that same tick could keep every field
// of the identity. Such a document must be compared with the file again.
bool IsRacilyClean(const FileIdentity& identity, int64_t read_started_ns);

// The real-time clock, in nanoseconds since the epoch.
int64_t NowNs();

// Owns a file descriptor and closes it through the system-call table.
class ScopedFd {
 public:
  explicit ScopedFd(int fd = -1) : fd_(fd) {}
  ~ScopedFd() { Reset(); }
  ScopedFd(ScopedFd&& other) noexcept : fd_(other.Release()) {}
  ScopedFd& operator=(ScopedFd&& other) noexcept;
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int Release();
  void Reset();
  // Closes now and returns close()'s errno (0 when it succeeded); a failed
  // close of a file just written is a failed write on some file systems.
  int Close();

 private:
  int fd_;
};

// The folder part of `path` ("." for a bare name, "/" for a file at the root).
std::string FolderOf(const std::string& path);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_POSIX_FILE_IO_H_
