// The one place where a POSIX errno value becomes the Win32 error number the
// library reports. Every failed system call of the POSIX layer ends here, so
// callers above see the same numbers a Windows build would give them.
#ifndef ORX_PLATFORM_POSIX_ERRNO_TO_WIN32_H_
#define ORX_PLATFORM_POSIX_ERRNO_TO_WIN32_H_

#include "base/status.h"

namespace orx::platform {

// What the failing call was trying to reach, for the one errno whose Win32
// meaning depends on it: ENOENT is "file not found" (2) when the file itself
// is missing, and "path not found" (3) when the call creates a file and the
// folder that should hold it is missing.
enum class PathRole {
  kFile,
  kFolder,
};

// The Win32 number for `error`; kOk for 0. An errno without a row of its own
// gives ERROR_GEN_FAILURE (31), never success.
Status Win32FromErrno(int error, PathRole role = PathRole::kFile);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_POSIX_ERRNO_TO_WIN32_H_
