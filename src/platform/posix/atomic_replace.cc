// The commit of a settings write: temporary file, write, flush, rename,
// flush the folder. The rename is the commit point; a crash or failure
// before it leaves the old file whole, and the temporary file is removed on
// every failure path (or, after a crash, by the next writer under the lock).
//
// Temporary files are named ".<name>.tmp-<pid>-<sequence>" in the folder of
// the file they replace (with a shortened name for a long one, see
// companion_names.h): hidden, attributable to their file, unique between
// processes and threads, and recognisable for the abandoned-file sweep.
//
// The new file's modification time is set one nanosecond before the time
// its last write gave it. Every later write to the file, however soon,
// stamps a time at least that late, so the file's identity changes with it:
// the writer can trust what it wrote at once instead of reading it back, as
// it must for a file changed within the current timestamp tick.
//
// A symbolic link is followed only when it belongs to this process's
// effective user or to root, the rule Linux applies in sticky folders
// (protected_symlinks): a link another user planted in a folder both may
// write must not steer a write to a file of the planter's choosing.
#include "platform/posix/atomic_replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "platform/posix/companion_names.h"
#include "platform/posix/errno_to_win32.h"
#include "platform/posix/file_io.h"
#include "platform/posix/syscalls.h"

namespace orx::platform {
namespace {

// Links deeper than this are treated as a loop, as the kernel does.
constexpr int kMaxLinkDepth = 40;
// Name collisions are possible only with another host's process of the same
// pid on a shared folder; a few fresh sequence numbers settle them.
constexpr int kCreateAttempts = 16;

std::atomic<uint64_t> temporary_sequence{static_cast<uint64_t>(NowNs())};

// Built by appending: gcc 12 at -O3 warns falsely about "literal" + string.
std::string JoinFolder(const std::string& folder, std::string_view name) {
  std::string path = folder == "/" ? std::string() : folder;
  path += '/';
  path += name;
  return path;
}

std::string NewTemporaryPath(const std::string& path) {
  char suffix[48];
  std::snprintf(suffix, sizeof suffix, "%x-%llx", static_cast<unsigned>(getpid()),
                static_cast<unsigned long long>(temporary_sequence.fetch_add(1)));
  std::string name = TemporaryPrefix(NameOf(path));
  name += suffix;
  return JoinFolder(FolderOf(path), name);
}

// The temporary file until it is renamed: removed when the scope is left
// without Commit().
class PendingTemporary {
 public:
  PendingTemporary() = default;
  ~PendingTemporary() {
    fd_.Reset();
    if (!path_.empty()) Syscalls().unlink(path_.c_str());
  }
  PendingTemporary(const PendingTemporary&) = delete;
  PendingTemporary& operator=(const PendingTemporary&) = delete;

  Status Create(const std::string& target, mode_t mode) {
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
      std::string candidate = NewTemporaryPath(target);
      int fd = Syscalls().open(candidate.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
      if (fd >= 0) {
        fd_ = ScopedFd(fd);
        path_ = std::move(candidate);
        return Status::kOk;
      }
      if (errno != EEXIST) return Win32FromErrno(errno, PathRole::kFolder);
    }
    return Win32FromErrno(EEXIST);
  }

  ScopedFd& fd() { return fd_; }
  const std::string& path() const { return path_; }
  void Commit() { path_.clear(); }

 private:
  ScopedFd fd_;
  std::string path_;
};

Status WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = Syscalls().write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return Win32FromErrno(errno);
    }
    // A write that makes no progress has nowhere to put the bytes.
    if (written == 0) return Win32FromErrno(ENOSPC);
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return Status::kOk;
}

Status WriteAll(int fd, const ByteSource& source) {
  for (;;) {
    const std::optional<std::string_view> next = source();
    if (!next) return Status::kGenFailure;
    if (next->empty()) return Status::kOk;
    if (Status status = WriteAll(fd, *next); status != Status::kOk) return status;
  }
}

// Flushes the folder entry of the rename. File systems that cannot flush a
// folder say EINVAL; their renames are as durable as they get.
Status FlushFolder(const std::string& folder) {
  ScopedFd fd(Syscalls().open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (!fd.valid()) return Win32FromErrno(errno, PathRole::kFolder);
  if (Syscalls().fsync(fd.get()) != 0 && errno != EINVAL) return Win32FromErrno(errno);
  return Status::kOk;
}

// Dates the file's modification time just before the time its last write
// stamped. Not done where the file system cannot keep the earlier time; a
// failure only costs the writer a read-back, so it is ignored.
void DateBeforeLastWrite(int fd) {
  struct stat written;
  if (Syscalls().fstat(fd, &written) != 0) return;
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1] = written.st_mtim;
  if (times[1].tv_nsec > 0) {
    --times[1].tv_nsec;
  } else {
    --times[1].tv_sec;
    times[1].tv_nsec = 999'999'999;
  }
  Syscalls().futimens(fd, times);
}

// Gives the temporary file the old file's owner and mode. Only root (or a
// process with CAP_CHOWN) may give a file away; others keep their own
// ownership, which is what editing someone else's writable file means.
Status CopyOwnerAndMode(int fd, const struct stat& old) {
  struct stat now;
  if (Syscalls().fstat(fd, &now) != 0) return Win32FromErrno(errno);
  if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
    if (Syscalls().fchown(fd, old.st_uid, old.st_gid) != 0 &&
        Syscalls().fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
      // Neither is permitted: the file stays this process's own.
    }
  }
  if (Syscalls().fchmod(fd, old.st_mode & 07777) != 0) return Win32FromErrno(errno);
  return Status::kOk;
}

}  // namespace

Result<std::string> ResolveTarget(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
    struct stat st;
    if (Syscalls().lstat(current.c_str(), &st) != 0) {
      if (errno == ENOENT) return current;  // a file yet to be created
      return Win32FromErrno(errno, PathRole::kFolder);
    }
    if (!S_ISLNK(st.st_mode)) return current;
    if (st.st_uid != ::geteuid() && st.st_uid != 0) return Status::kAccessDenied;
    std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    ssize_t length = Syscalls().readlink(current.c_str(), target.data(), target.size());
    if (length < 0) return Win32FromErrno(errno);
    if (static_cast<size_t>(length) == target.size()) continue;  // grew meanwhile: again
    target.resize(static_cast<size_t>(length));
    current = target.starts_with('/') ? target : JoinFolder(FolderOf(current), target);
  }
  return Win32FromErrno(ELOOP);
}

Result<FileIdentity> ReplaceFile(const std::string& path, const ByteSource& source) {
  struct stat old;
  bool had_old = Syscalls().lstat(path.c_str(), &old) == 0;
  if (!had_old && errno != ENOENT) return Win32FromErrno(errno, PathRole::kFolder);
  if (had_old && !S_ISREG(old.st_mode)) return Status::kAccessDenied;
  // The rename needs only the folder's permission; without this check a
  // file the process may not write (read-only, or another user's) would be
  // replaced all the same.
  if (had_old && Syscalls().may_write(path.c_str()) != 0) return Win32FromErrno(errno);

  // A replacement starts private and gets the old mode once it is complete;
  // a new file starts with the mode any new file of this process would get.
  PendingTemporary temporary;
  Status status = temporary.Create(path, had_old ? 0600 : 0666);
  if (status != Status::kOk) return status;
  int fd = temporary.fd().get();
  status = WriteAll(fd, source);
  if (status == Status::kOk && had_old) status = CopyOwnerAndMode(fd, old);
  if (status != Status::kOk) return status;
  DateBeforeLastWrite(fd);
  if (Syscalls().fsync(fd) != 0) return Win32FromErrno(errno);
  struct stat written;
  if (Syscalls().fstat(fd, &written) != 0) return Win32FromErrno(errno);
  if (int error = temporary.fd().Close(); error != 0) return Win32FromErrno(error);

  if (Syscalls().rename(temporary.path().c_str(), path.c_str()) != 0) {
    return Win32FromErrno(errno, PathRole::kFolder);
  }
  temporary.Commit();
  status = FlushFolder(FolderOf(path));
  if (status != Status::kOk) return status;

  // The rename may update the change time, so the identity is taken again
  // from the path; if another program replaced the file in this instant,
  // the temporary file's identity stands, which then matches nothing.
  Result<FileIdentity> now = StatFile(path);
  if (now.ok() && now->volume == static_cast<uint64_t>(written.st_dev) &&
      now->file_id == static_cast<uint64_t>(written.st_ino)) {
    return now;
  }
  return FileIdentity{.volume = static_cast<uint64_t>(written.st_dev),
                      .file_id = static_cast<uint64_t>(written.st_ino),
                      .size = static_cast<int64_t>(written.st_size)};
}

bool IsTemporaryOf(std::string_view name, std::string_view base) {
  const std::string prefix = TemporaryPrefix(base);
  if (name.size() <= prefix.size() || !name.starts_with(prefix)) return false;
  name.remove_prefix(prefix.size());
  for (char c : name) {
    bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    if (!hex && c != '-') return false;
  }
  return true;
}

void RemoveAbandonedTemporaries(const std::string& path) {
  std::string folder = FolderOf(path);
  std::string base(NameOf(path));
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const struct dirent* entry = readdir(dir)) {
    if (IsTemporaryOf(entry->d_name, base)) {
      Syscalls().unlink(JoinFolder(folder, entry->d_name).c_str());
    }
  }
  closedir(dir);
}

}  // namespace orx::platform
