// The outcome type of every internal operation. Its value is the Win32 error
// number handed to callers, so crossing the ABI is a cast, not a translation.
// This header is vocabulary shared by every layer, which is why it lives
// below all of them in base/.
#ifndef ORX_BASE_STATUS_H_
#define ORX_BASE_STATUS_H_

#include <cstdint>

namespace orx {

enum class [[nodiscard]] Status : int32_t {
  kOk = 0,
  kFileNotFound = 2,
  kPathNotFound = 3,
  kAccessDenied = 5,
  kNotEnoughMemory = 8,
  kWriteProtect = 19,
  kSharingViolation = 32,
  kInvalidParameter = 87,
  kDiskFull = 112,
  kInsufficientBuffer = 122,
  kFilenameExcedRange = 206,
  kNoMoreItems = 259,
  kNoUnicodeTranslation = 1113,
  kInternalError = 1359,
  // Other values come from the system (see platform/posix/errno_to_win32.h).
};

constexpr bool IsOk(Status status) { return status == Status::kOk; }

constexpr int32_t ToAbi(Status status) { return static_cast<int32_t>(status); }

// Marks a status that a routine deliberately does not act on.
constexpr void IgnoreStatus(Status) {}

}  // namespace orx

#endif  // ORX_BASE_STATUS_H_
