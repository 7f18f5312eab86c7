// The writer lock: a table of lock files held by this process, then flock.
//
// flock alone would exclude threads too, since each acquisition opens its
// own descriptor, but on NFS the kernel emulates flock with POSIX record
// locks, which belong to the process: a second thread would be let straight
// in. The table keyed by the lock file's device and inode closes that gap
// and lets threads of one process queue on a condition variable instead of
// polling the kernel. Polling is needed across processes because a blocking
// flock cannot be given a time limit.
#include "platform/posix/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

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
  std::set<LockKey> held;
};

HeldLockTable& HeldLocks() {
  static HeldLockTable* table = new HeldLockTable;  // never destroyed: used until exit
  return *table;
}

void ReleaseKey(const LockKey& key) {
  HeldLockTable& table = HeldLocks();
  {
    std::lock_guard<std::mutex> lock(table.mutex);
    table.held.erase(key);
  }
  table.released.notify_all();
}

// Opens the lock file, creating it when missing. flock needs no write
// access, so a lock file that exists but may not be written (another user's,
// or on a folder mounted read-only) is opened for reading instead.
Result<ScopedFd> OpenLockFile(const std::string& lock_path) {
  int fd = Syscalls().open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd >= 0) return ScopedFd(fd);
  int create_error = errno;
  if (create_error == EACCES || create_error == EPERM || create_error == EROFS) {
    fd = Syscalls().open(lock_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW, 0);
    if (fd >= 0) return ScopedFd(fd);
  }
  return Win32FromErrno(create_error, PathRole::kFolder);
}

}  // namespace

// The lock file's descriptor, which carries the flock, and its entry in the
// table of locks this process holds.
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

std::string LockFilePath(const std::string& path) { return path + ".lock"; }

Result<WriterLock> WriterLock::Acquire(const std::string& path, std::chrono::milliseconds timeout) {
  Clock::time_point deadline = Clock::now() + timeout;
  Result<ScopedFd> fd = OpenLockFile(LockFilePath(path));
  if (!fd.ok()) return fd.status();
  struct stat st;
  if (Syscalls().fstat(fd->get(), &st) != 0) return Win32FromErrno(errno);
  LockKey key{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};

  HeldLockTable& table = HeldLocks();
  {
    std::unique_lock<std::mutex> lock(table.mutex);
    if (!table.released.wait_until(lock, deadline, [&] { return !table.held.contains(key); })) {
      return Status::kSharingViolation;
    }
    table.held.insert(key);
  }

  std::chrono::microseconds pause = kFirstPoll;
  for (;;) {
    if (Syscalls().flock(fd->get(), LOCK_EX | LOCK_NB) == 0) {
      return WriterLock(std::make_unique<Held>(std::move(*fd), key));
    }
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      Status status = Win32FromErrno(errno);
      ReleaseKey(key);
      return status;
    }
    Clock::time_point now = Clock::now();
    if (now >= deadline) {
      ReleaseKey(key);
      return Status::kSharingViolation;
    }
    std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, kLongestPoll);
  }
}

}  // namespace orx::platform
