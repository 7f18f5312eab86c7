// The Windows commit of a settings write, with its retry budget exposed so
// tests can measure it and bound it. ReplaceFile (file_system.h) is
// ReplaceFileWithin with kReplaceBudget.
#ifndef ORX_PLATFORM_WIN32_REPLACE_WIN32_H_
#define ORX_PLATFORM_WIN32_REPLACE_WIN32_H_

#include <chrono>
#include <string_view>

#include "base/result.h"
#include "platform/file_system.h"

namespace orx::platform::win32 {

// Scanners, backup tools and the product's other components hold a
// settings file open for moments; a replace waits this long in all for them,
// as long as a writer waits for the lock.
inline constexpr std::chrono::milliseconds kReplaceBudget = kWriterLockTimeout;

struct ReplaceStats {
  int retries = 0;  // waits after a sharing violation or access denied
};

// ReplaceFile, retrying the final step on kSharingViolation and
// kAccessDenied for at most `budget`, then failing with that error; the
// temporary file is removed on every failure.
Result<FileIdentity> ReplaceFileWithin(const NativePath& target, const ByteSource& source,
                                       std::chrono::milliseconds budget,
                                       ReplaceStats* stats = nullptr);
inline Result<FileIdentity> ReplaceFileWithin(const NativePath& target, std::string_view bytes,
                                              std::chrono::milliseconds budget,
                                              ReplaceStats* stats = nullptr) {
  return ReplaceFileWithin(target, WholeBytes(bytes), budget, stats);
}

// True when `name` (a bare file name) has the form of a temporary file of
// the settings file named `base`.
bool IsTemporaryOf(std::wstring_view name, std::wstring_view base);

}  // namespace orx::platform::win32

#endif  // ORX_PLATFORM_WIN32_REPLACE_WIN32_H_
