// The system calls behind the settings-file reads and writes, as a table of
// function pointers. Production code calls through Syscalls() and so does
// every test; a test that needs a call to fail (rename with ENOSPC, fsync
// with EIO) swaps one entry with ScopedSyscall and runs the real code path.
// Each entry has the shape and the errno contract of the call it names.
#ifndef ORX_PLATFORM_POSIX_SYSCALLS_H_
#define ORX_PLATFORM_POSIX_SYSCALLS_H_

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace orx::platform {

struct SyscallTable {
  int (*open)(const char* path, int flags, mode_t mode);
  int (*close)(int fd);
  ssize_t (*read)(int fd, void* buffer, size_t size);
  ssize_t (*write)(int fd, const void* data, size_t size);
  int (*fsync)(int fd);
  int (*fstat)(int fd, struct stat* out);
  int (*stat)(const char* path, struct stat* out);
  int (*lstat)(const char* path, struct stat* out);
  ssize_t (*readlink)(const char* path, char* buffer, size_t size);
  // faccessat(2) with AT_EACCESS: may this process write the file?
  int (*may_write)(const char* path);
  int (*fchmod)(int fd, mode_t mode);
  int (*fchown)(int fd, uid_t owner, gid_t group);
  int (*futimens)(int fd, const struct timespec times[2]);
  int (*rename)(const char* from, const char* to);
  int (*unlink)(const char* path);
  // flock(2): the writer lock.
  int (*flock)(int fd, int operation);
};

// The table in use. Entries are read on every call, so a replacement takes
// effect at once; replace entries only while no other thread is inside a
// settings-file call.
SyscallTable& Syscalls();

// The real system calls.
const SyscallTable& RealSyscalls();

// Replaces one entry for the lifetime of the object and restores it after:
//   ScopedSyscall fail_rename(&SyscallTable::rename, [](const char*, const char*) {
//     errno = ENOSPC;
//     return -1;
//   });
template <typename Fn>
class ScopedSyscall {
 public:
  ScopedSyscall(Fn SyscallTable::*entry, Fn replacement)
      : entry_(entry), saved_(Syscalls().*entry) {
    Syscalls().*entry_ = replacement;
  }
  ~ScopedSyscall() { Syscalls().*entry_ = saved_; }
  ScopedSyscall(const ScopedSyscall&) = delete;
  ScopedSyscall& operator=(const ScopedSyscall&) = delete;

 private:
  Fn SyscallTable::*entry_;
  Fn saved_;
};

template <typename Fn, typename Replacement>
ScopedSyscall(Fn SyscallTable::*, Replacement) -> ScopedSyscall<Fn>;

}  // namespace orx::platform

#endif  // ORX_PLATFORM_POSIX_SYSCALLS_H_
