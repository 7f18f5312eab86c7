// Small pieces every file of the Win32 layer shares: the one place where
// GetLastError and HRESULTs become statuses, an owning handle, time
// conversions, the environment read and the back-off of bounded waits.
#ifndef ORX_PLATFORM_WIN32_WIN32_UTIL_H_
#define ORX_PLATFORM_WIN32_WIN32_UTIL_H_

#include "platform/win32/windows_api.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "base/status.h"

namespace orx::platform::win32 {

// The status for a Win32 error number. The library's statuses are Win32
// numbers already, so most pass through as they are; 0 (a call that failed
// without saying why) becomes kGenFailure, never success, and the replace
// call's "replaced file in use" becomes the sharing violation it stands for.
Status StatusFromError(DWORD error);

// StatusFromError(GetLastError()).
Status LastErrorStatus();

// The status for a failed HRESULT: its Win32 number when it carries one,
// else kGenFailure.
Status StatusFromHresult(HRESULT result);

// A FILETIME or 64-bit file time (100 ns units since 1601) as nanoseconds
// since 1970, the scale of NowNs.
int64_t FileTimeToNs(int64_t ticks_since_1601);

// The value of environment variable `name` (GetEnvironmentVariableW, so a
// change made by SetEnvironmentVariableW is seen at once); nullopt when it
// is unset or empty.
std::optional<std::wstring> NonEmptyEnvironment(const wchar_t* name);

// Owns a kernel handle; INVALID_HANDLE_VALUE and null are both "none".
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(ScopedHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  void Reset() {
    if (valid()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

// Sleeps between the attempts of a wait bounded by `budget`: 1 ms first,
// doubling up to 100 ms. Wait() returns false, without sleeping, once the
// budget is spent; retries() counts the sleeps taken.
class Backoff {
 public:
  explicit Backoff(std::chrono::milliseconds budget);
  bool Wait();
  int retries() const { return retries_; }

 private:
  const std::chrono::steady_clock::time_point deadline_;
  DWORD next_ms_ = 1;
  int retries_ = 0;
};

}  // namespace orx::platform::win32

#endif  // ORX_PLATFORM_WIN32_WIN32_UTIL_H_
