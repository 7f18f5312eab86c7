// The table starts as the real calls. The wrappers exist where the C library
// function is variadic (open) or may be a macro, so each entry has one plain
// signature a test can match.
#include "platform/posix/syscalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>

namespace orx::platform {
namespace {

int OpenFile(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
int StatPath(const char* path, struct stat* out) { return ::stat(path, out); }
int LstatPath(const char* path, struct stat* out) { return ::lstat(path, out); }
int FstatFile(int fd, struct stat* out) { return ::fstat(fd, out); }
int MayWrite(const char* path) { return ::faccessat(AT_FDCWD, path, W_OK, AT_EACCESS); }

constexpr SyscallTable kRealSyscalls = {
    .open = OpenFile,
    .close = ::close,
    .read = ::read,
    .write = ::write,
    .fsync = ::fsync,
    .fstat = FstatFile,
    .stat = StatPath,
    .lstat = LstatPath,
    .readlink = ::readlink,
    .may_write = MayWrite,
    .fchmod = ::fchmod,
    .fchown = ::fchown,
    .futimens = ::futimens,
    .rename = ::rename,
    .unlink = ::unlink,
    .flock = ::flock,
};

SyscallTable current_syscalls = kRealSyscalls;

}  // namespace

SyscallTable& Syscalls() { return current_syscalls; }

const SyscallTable& RealSyscalls() { return kRealSyscalls; }

}  // namespace orx::platform
