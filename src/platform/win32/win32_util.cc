// Error mapping, times, environment and back-off of the Win32 layer.
#include "platform/win32/win32_util.h"

#include <algorithm>

namespace orx::platform::win32 {

Status StatusFromError(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return Status::kGenFailure;
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
      return Status::kSharingViolation;
    default:
      return StatusFromCode(error);
  }
}

Status LastErrorStatus() { return StatusFromError(GetLastError()); }

Status StatusFromHresult(HRESULT result) {
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) return StatusFromError(HRESULT_CODE(result));
  if (result == E_OUTOFMEMORY) return Status::kNotEnoughMemory;
  if (result == E_ACCESSDENIED) return Status::kAccessDenied;
  return Status::kGenFailure;
}

int64_t FileTimeToNs(int64_t ticks_since_1601) {
  constexpr int64_t kTicksFrom1601To1970 = 116'444'736'000'000'000;
  return (ticks_since_1601 - kTicksFrom1601To1970) * 100;
}

std::optional<std::wstring> NonEmptyEnvironment(const wchar_t* name) {
  std::wstring value(64, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length =
        GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return std::nullopt;  // unset, or set to the empty string
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    value.resize(length);  // too small: `length` counts the terminator
  }
}

Backoff::Backoff(std::chrono::milliseconds budget)
    : deadline_(std::chrono::steady_clock::now() + budget) {}

bool Backoff::Wait() {
  const auto now = std::chrono::steady_clock::now();
  if (now >= deadline_) return false;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - now).count();
  Sleep(std::min<DWORD>(next_ms_, static_cast<DWORD>(std::max<int64_t>(left, 1))));
  next_ms_ = std::min<DWORD>(next_ms_ * 2, 100);
  ++retries_;
  return true;
}

}  // namespace orx::platform::win32
