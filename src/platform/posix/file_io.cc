// The POSIX file interface's reads: native paths, whole-file reads, file
// identities and the clock. A read compares the identity before
// and after reading, so the bytes returned belong to the identity returned:
// a file rewritten in place during the read is read again.
#include "platform/posix/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "base/utf.h"
#include "platform/posix/errno_to_win32.h"
#include "platform/posix/syscalls.h"

namespace orx::platform {
namespace {

constexpr int64_t kNsPerSecond = 1'000'000'000;

// A change is trusted as seen only when the read began at least this long
// after it. Linux stamps files from a clock that advances once per scheduler
// tick (1 to 10 ms), and file systems such as exFAT keep 10 ms; 20 ms covers
// both with room. File systems with whole-second times (FAT keeps two) get
// two seconds.
constexpr int64_t kFineTickNs = 20'000'000;
constexpr int64_t kCoarseTickNs = 2 * kNsPerSecond;

// A file that keeps changing under the reader is read this many times at
// most; the last read is returned with the identity seen before it, which
// no longer matches the file, so the next lookup reads it again.
constexpr int kReadAttempts = 4;

int64_t ToNs(const struct timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * kNsPerSecond + time.tv_nsec;
}

FileIdentity IdentityOf(const struct stat& st) {
  return FileIdentity{
      .volume = static_cast<uint64_t>(st.st_dev),
      .file_id = static_cast<uint64_t>(st.st_ino),
      .size = static_cast<int64_t>(st.st_size),
      .mtime_ns = ToNs(st.st_mtim),
      .ctime_ns = ToNs(st.st_ctim),
  };
}

// Reads from the current position to end of file into `out`, which is
// sized to the expected length first so a file of unchanged size needs one
// allocation and one read past its end. The buffer never grows beyond one
// byte past `max_size`: filling that byte is how an oversized file shows.
Status ReadToEnd(int fd, int64_t expected_size, int64_t max_size, std::string& out) {
  const size_t limit = static_cast<size_t>(max_size) + 1;
  out.resize(static_cast<size_t>(expected_size) + 1);
  size_t filled = 0;
  for (;;) {
    if (filled == out.size()) {
      if (filled >= limit) return Status::kFileTooLarge;
      out.resize(std::min(out.size() * 2, limit));
    }
    ssize_t got = Syscalls().read(fd, out.data() + filled, out.size() - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      return Win32FromErrno(errno);
    }
    if (got == 0) break;
    filled += static_cast<size_t>(got);
  }
  out.resize(filled);
  return Status::kOk;
}

// Opens `path` to read it and stats what was opened. O_NONBLOCK keeps a
// FIFO planted at the path from hanging the open; it changes nothing for a
// regular file.
Status OpenForReading(const std::string& path, ScopedFd& fd, struct stat& st) {
  fd = ScopedFd(Syscalls().open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0));
  if (!fd.valid()) return Win32FromErrno(errno);
  if (Syscalls().fstat(fd.get(), &st) != 0) return Win32FromErrno(errno);
  return Status::kOk;
}

}  // namespace

Result<NativePath> ToNativePath(std::u16string_view path) {
  if (path.find(u'\0') != std::u16string_view::npos) return Status::kInvalidName;
  return EncodePath(path);
}

Result<FileIdentity> StatFile(const std::string& path) {
  struct stat st;
  if (Syscalls().stat(path.c_str(), &st) != 0) return Win32FromErrno(errno);
  return IdentityOf(st);
}

Result<FileContents> ReadWholeFile(const std::string& path, int64_t max_size) {
  FileContents contents;
  contents.read_started_ns = NowNs();
  ScopedFd fd;
  struct stat before;
  if (Status status = OpenForReading(path, fd, before); status != Status::kOk) return status;
  if (!S_ISREG(before.st_mode)) return Status::kAccessDenied;

  for (int attempt = 1;; ++attempt) {
    if (before.st_size > max_size) return Status::kFileTooLarge;
    Status status = ReadToEnd(fd.get(), before.st_size, max_size, contents.bytes);
    if (status != Status::kOk) return status;
    struct stat after;
    if (Syscalls().fstat(fd.get(), &after) != 0) return Win32FromErrno(errno);
    contents.identity = IdentityOf(before);
    if (IdentityOf(after) == contents.identity &&
        static_cast<int64_t>(contents.bytes.size()) == contents.identity.size) {
      return contents;
    }
    if (attempt == kReadAttempts) return contents;
    before = after;
    contents.read_started_ns = NowNs();
    if (lseek(fd.get(), 0, SEEK_SET) != 0) return Win32FromErrno(errno);
  }
}

Result<FileComparison> CompareWithFile(const std::string& path, int64_t expected_size,
                                       const ExpectedBytes& expected) {
  FileComparison comparison;
  comparison.read_started_ns = NowNs();
  ScopedFd fd;
  struct stat before;
  if (Status status = OpenForReading(path, fd, before); status != Status::kOk) return status;
  comparison.identity = IdentityOf(before);
  if (!S_ISREG(before.st_mode) || before.st_size != expected_size) return comparison;
  // Chunks small enough to stay in the cache, read one past the end so a
  // file that grew shows.
  char chunk[64 * 1024];
  int64_t compared = 0;
  for (;;) {
    ssize_t got = Syscalls().read(fd.get(), chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      return Win32FromErrno(errno);
    }
    if (got == 0) break;
    if (got > expected_size - compared ||
        !expected(std::string_view(chunk, static_cast<size_t>(got)))) {
      return comparison;
    }
    compared += got;
  }
  struct stat after;
  if (Syscalls().fstat(fd.get(), &after) != 0) return Win32FromErrno(errno);
  comparison.same = compared == expected_size && IdentityOf(after) == comparison.identity;
  return comparison;
}

namespace {

// Both times in whole seconds: a file system that keeps no finer times (FAT
// keeps two), or one that may keep no change time of its own.
bool HasWholeSecondTimes(const FileIdentity& identity) {
  return identity.ctime_ns % kNsPerSecond == 0 && identity.mtime_ns % kNsPerSecond == 0;
}

}  // namespace

bool IsRacilyClean(const FileIdentity& identity, int64_t read_started_ns) {
  // Only the change time counts: every write sets it to the current time,
  // while the modification time may be set to anything, the future included.
  int64_t tick = HasWholeSecondTimes(identity) ? kCoarseTickNs : kFineTickNs;
  return read_started_ns - identity.ctime_ns < tick;
}

bool IsRacilyWritten(const FileIdentity& written) {
  // A change time later than the modification time means the time was set
  // after the last write; any later write stamps a time at least as late as
  // that change time, so it moves the modification time on. Files of
  // whole-second times are left to the read-back.
  const bool dated_before_change =
      written.mtime_ns < written.ctime_ns && !HasWholeSecondTimes(written);
  return !dated_before_change && IsRacilyClean(written, NowNs());
}

int64_t NowNs() {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return ToNs(now);
}

ScopedFd& ScopedFd::operator=(ScopedFd&& other) noexcept {
  if (this != &other) {
    Reset();
    fd_ = other.Release();
  }
  return *this;
}

int ScopedFd::Release() {
  int fd = fd_;
  fd_ = -1;
  return fd;
}

void ScopedFd::Reset() {
  if (fd_ >= 0) Syscalls().close(fd_);
  fd_ = -1;
}

int ScopedFd::Close() {
  if (fd_ < 0) return 0;
  int result = Syscalls().close(fd_);
  fd_ = -1;
  // EINTR from close still releases the descriptor on Linux; the data may
  // not have reached the disk, so it counts as a failure.
  return result == 0 ? 0 : errno;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace orx::platform
