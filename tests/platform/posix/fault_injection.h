// Fault injection for the POSIX layer's system-call table: one named call
// fails with a chosen errno for the lifetime of an InjectedFailure. Header
// only, since it reaches below the ABI and the shared test support does not.
#ifndef ORX_TESTS_PLATFORM_POSIX_FAULT_INJECTION_H_
#define ORX_TESTS_PLATFORM_POSIX_FAULT_INJECTION_H_

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "platform/posix/syscalls.h"

namespace orx::testing {

// `call` names a table entry: "open" (only opens that create a file
// exclusively, i.e. temporary files, fail), "read", "write", "fsync",
// "fchmod", "futimens", "close" (the descriptor is still closed), "rename" or
// "flock".
class InjectedFailure {
 public:
  InjectedFailure(std::string_view call, int error);
  ~InjectedFailure();
  InjectedFailure(const InjectedFailure&) = delete;
  InjectedFailure& operator=(const InjectedFailure&) = delete;

 private:
  platform::SyscallTable saved_;
};

namespace fault_detail {

inline int injected_errno = 0;

inline int Fail() {
  errno = injected_errno;
  return -1;
}

}  // namespace fault_detail

inline InjectedFailure::InjectedFailure(std::string_view call, int error)
    : saved_(platform::Syscalls()) {
  fault_detail::injected_errno = error;
  platform::SyscallTable& table = platform::Syscalls();
  if (call == "open") {
    table.open = [](const char* path, int flags, mode_t mode) {
      return (flags & O_EXCL) != 0 ? fault_detail::Fail()
                                   : platform::RealSyscalls().open(path, flags, mode);
    };
  } else if (call == "read") {
    table.read = [](int, void*, size_t) { return ssize_t{fault_detail::Fail()}; };
  } else if (call == "write") {
    table.write = [](int, const void*, size_t) { return ssize_t{fault_detail::Fail()}; };
  } else if (call == "fsync") {
    table.fsync = [](int) { return fault_detail::Fail(); };
  } else if (call == "fchmod") {
    table.fchmod = [](int, mode_t) { return fault_detail::Fail(); };
  } else if (call == "futimens") {
    table.futimens = [](int, const struct timespec*) { return fault_detail::Fail(); };
  } else if (call == "close") {
    table.close = [](int fd) {
      platform::RealSyscalls().close(fd);
      return fault_detail::Fail();
    };
  } else if (call == "rename") {
    table.rename = [](const char*, const char*) { return fault_detail::Fail(); };
  } else if (call == "flock") {
    table.flock = [](int, int) { return fault_detail::Fail(); };
  } else {
    ADD_FAILURE() << "no such call to fail: " << std::string(call);
  }
}

inline InjectedFailure::~InjectedFailure() { platform::Syscalls() = saved_; }

}  // namespace orx::testing

#endif  // ORX_TESTS_PLATFORM_POSIX_FAULT_INJECTION_H_
