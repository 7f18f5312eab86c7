// The writer lock: a table of lock files held by this process, then flock.
//
// flock alone would exclude threads too, since each acquisition opens its
// own descriptor, but on NFS the kernel emulates flock with POSIX record
// locks, which belong to the process: a second thread would be let straight
// in. The table keyed by the lock file's device and inode closes that gap
// and lets threads of one process queue on a condition variable instead of
// polling the kernel. Polling is needed across processes because a blocking
// flock cannot be given a time limit.
//
// The lock file is opened without blocking and without following links, and
// must be a regular file: a FIFO planted at its name would otherwise hang
// the open for good, beyond any time limit. Once locked, the file must still
// be the one its name leads to: a lock taken on a file that something
// removed (a "stale lock" cleaner) or replaced excludes no one who opens the
// name afresh, so such a lock is dropped and taken again on the new file.
//
// That check cannot see a removal while the lock is held: the next writer
// would create a new lock file and join the holder. So the holder of a lock
// file also takes a flock on the settings file's folder, which no cleaner
// removes while it holds files. It is always taken second and held only for
// the edit, so writers of other files in the folder wait for it briefly and
// never in a cycle. Where a folder cannot be opened for reading or locked
// (NFS refuses flock on a folder), the lock file alone must do.
#include "platform/posix/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "platform/posix/companion_names.h"
#include "platform/posix/errno_to_win32.h"
#include "platform/posix/file_io.h"
#include "platform/posix/syscalls.h"

namespace orx::platform {
namespace {

using Clock = std::chrono::steady_clock;
using LockKey = std::pair<uint64_t, uint64_t>;

constexpr std::chrono::microseconds kFirstPoll{50};
constexpr std::chrono::microseconds kLongestPoll{2000};

struct HeldLockTable {
  std::mutex mutex;
  std::condition_variable released;
  // Each held lock file with the descriptor of its folder lock (-1 when
  // there is none). The table owns those descriptors: WriterLock has no
  // member for them.
  std::map<LockKey, int> held;
};

HeldLockTable& HeldLocks() {
  static HeldLockTable* table = new HeldLockTable;  // never destroyed: used until exit
  return *table;
}

void ReleaseKey(const LockKey& key) {
  HeldLockTable& table = HeldLocks();
  ScopedFd folder;
  {
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.held.find(key);
    if (it != table.held.end()) {
      folder = ScopedFd(it->second);
      table.held.erase(it);
    }
  }
  folder.Reset();  // drops the folder lock
  table.released.notify_all();
}

// Polls flock on `fd` until it is granted or `deadline` passes. Returns 0,
// EWOULDBLOCK when the time ran out, or the errno of the failed call.
int PollForLock(int fd, Clock::time_point deadline) {
  std::chrono::microseconds pause = kFirstPoll;
  for (;;) {
    if (Syscalls().flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return errno;
    Clock::time_point now = Clock::now();
    if (now >= deadline) return EWOULDBLOCK;
    std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, kLongestPoll);
  }
}

// Locks the folder of the settings file for the holder of `key`. A folder
// that may not be opened or locked is passed over (see the top of the file).
Status LockFolder(const std::string& folder_path, const LockKey& key, Clock::time_point deadline) {
  ScopedFd folder(Syscalls().open(folder_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0));
  if (!folder.valid()) {
    if (errno == EACCES || errno == EPERM) return Status::kOk;
    return Win32FromErrno(errno, PathRole::kFolder);
  }
  if (int error = PollForLock(folder.get(), deadline); error != 0) {
    if (error == EBADF || error == EINVAL) return Status::kOk;
    return error == EWOULDBLOCK ? Status::kSharingViolation : Win32FromErrno(error);
  }
  HeldLockTable& table = HeldLocks();
  std::lock_guard<std::mutex> lock(table.mutex);
  table.held[key] = folder.Release();
  return Status::kOk;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens the lock file, creating it when missing, and returns it with its
// identity. flock needs no write access, so a lock file that exists but may
// not be written (another user's, or on a folder mounted read-only) is
// opened for reading instead.
Result<ScopedFd> OpenLockFile(const std::string& lock_path, struct stat& st) {
  constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
  ScopedFd fd(Syscalls().open(lock_path.c_str(), O_RDWR | O_CREAT | kFlags, 0666));
  if (!fd.valid()) {
    int create_error = errno;
    if (create_error == EACCES || create_error == EPERM || create_error == EROFS) {
      fd = ScopedFd(Syscalls().open(lock_path.c_str(), O_RDONLY | kFlags, 0));
    }
    // A folder or a socket at the name is no lock file.
    if (!fd.valid() && (create_error == EISDIR || create_error == ENXIO)) {
      return Status::kAccessDenied;
    }
    if (!fd.valid()) return Win32FromErrno(create_error, PathRole::kFolder);
  }
  if (Syscalls().fstat(fd.get(), &st) != 0) return Win32FromErrno(errno);
  if (!S_ISREG(st.st_mode)) return Status::kAccessDenied;
  return fd;
}

// Takes the in-process entry and then the kernel lock of the open lock
// file, polling until `deadline`.
Status LockOpenFile(int fd, const LockKey& key, Clock::time_point deadline) {
  HeldLockTable& table = HeldLocks();
  {
    std::unique_lock<std::mutex> lock(table.mutex);
    if (!table.released.wait_until(lock, deadline, [&] { return !table.held.contains(key); })) {
      return Status::kSharingViolation;
    }
    table.held.emplace(key, -1);
  }
  int error = PollForLock(fd, deadline);
  if (error == 0) return Status::kOk;
  ReleaseKey(key);
  return error == EWOULDBLOCK ? Status::kSharingViolation : Win32FromErrno(error);
}

}  // namespace

// The lock file's descriptor, which carries the flock, and its entry in the
// table of locks this process holds (with the folder lock, see ReleaseKey).
struct WriterLock::Held {
  Held(ScopedFd lock_file, LockKey lock_key) : fd(std::move(lock_file)), key(lock_key) {}
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    // Closing the descriptor drops the flock; it must go before the table
    // entry, or a thread of this process could enter while the kernel lock
    // is still held and find it taken.
    fd.Reset();
    ReleaseKey(key);
  }

  ScopedFd fd;
  LockKey key;
};

WriterLock::WriterLock(std::unique_ptr<Held> held) : held_(std::move(held)) {}
WriterLock::WriterLock(WriterLock&& other) noexcept = default;
WriterLock::~WriterLock() = default;

std::string LockFilePath(const std::string& path) {
  std::string_view name = NameOf(path);
  std::string lock_path = path.substr(0, path.size() - name.size());
  lock_path += LockFileName(name);
  return lock_path;
}

Result<WriterLock> WriterLock::Acquire(const NativePath& path, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  const std::string lock_path = LockFilePath(path);
  for (;;) {
    struct stat opened;
    Result<ScopedFd> fd = OpenLockFile(lock_path, opened);
    if (!fd.ok()) return fd.status();
    const LockKey key{static_cast<uint64_t>(opened.st_dev), static_cast<uint64_t>(opened.st_ino)};
    Status status = LockOpenFile(fd->get(), key, deadline);
    if (status != Status::kOk) return status;

    struct stat named;
    if (Syscalls().lstat(lock_path.c_str(), &named) == 0 && SameFile(named, opened)) {
      WriterLock held(std::make_unique<Held>(std::move(*fd), key));
      status = LockFolder(FolderOf(path), key, deadline);
      if (status != Status::kOk) return status;  // `held` lets go of the lock file
      return held;
    }
    // The name now leads elsewhere or nowhere: start over on what it leads
    // to. The descriptor goes before the table entry, as in the destructor.
    fd->Reset();
    ReleaseKey(key);
    if (Clock::now() >= deadline) return Status::kSharingViolation;
  }
}

}  // namespace orx::platform
