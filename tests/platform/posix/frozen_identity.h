// Files whose identity never changes: the case where only comparing the
// file with the cached document can tell that it changed. Header only, as
// it reaches below the ABI into the system-call table.
#ifndef ORX_TESTS_PLATFORM_POSIX_FROZEN_IDENTITY_H_
#define ORX_TESTS_PLATFORM_POSIX_FROZEN_IDENTITY_H_

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "platform/posix/syscalls.h"

namespace orx::testing {

// stat() and fstat() of the file (its inode) report the identity it had
// when this was made, with a change time far ahead: a rewrite in place keeps
// every field the store compares, and every read of the file counts as racy.
struct FrozenIdentity {
  static inline struct stat frozen;
  static void Freeze(struct stat* out) {
    if (out->st_ino == frozen.st_ino && out->st_dev == frozen.st_dev) *out = frozen;
  }
  platform::ScopedSyscall<int (*)(const char*, struct stat*)> stat_call{
      &platform::SyscallTable::stat, +[](const char* path, struct stat* out) {
        const int result = platform::RealSyscalls().stat(path, out);
        if (result == 0) Freeze(out);
        return result;
      }};
  platform::ScopedSyscall<int (*)(int, struct stat*)> fstat_call{
      &platform::SyscallTable::fstat, +[](int fd, struct stat* out) {
        const int result = platform::RealSyscalls().fstat(fd, out);
        if (result == 0) Freeze(out);
        return result;
      }};
  explicit FrozenIdentity(const std::string& path) {
    EXPECT_EQ(platform::RealSyscalls().stat(path.c_str(), &frozen), 0);
    frozen.st_ctim.tv_sec += 3600;
  }
};

// Overwrites the start of the file at `path` with `bytes`, as an editor
// saving in place does; the inode stays.
inline void OverwriteInPlace(const std::string& path, const std::string& bytes) {
  std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace orx::testing

#endif  // ORX_TESTS_PLATFORM_POSIX_FROZEN_IDENTITY_H_
