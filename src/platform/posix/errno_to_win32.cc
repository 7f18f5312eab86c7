// The errno table. Each row names the Win32 error that describes the same
// failure as a caller on Windows would see it; rows are grouped by what went
// wrong, not by number. EWOULDBLOCK and ENOTSUP are the same values as EAGAIN
// and EOPNOTSUPP on the systems we build for, so they have no rows of their
// own.
#include "platform/posix/errno_to_win32.h"

#include <cerrno>
#include <cstdint>
#include <iterator>

namespace orx::platform {
namespace {

struct ErrnoRow {
  int error;
  uint32_t win32;
};

// clang-format off
constexpr ErrnoRow kErrnoTable[] = {
    // errno          Win32   name of the Win32 error
    // Names that lead nowhere.
    {ENOENT,          2},     // ERROR_FILE_NOT_FOUND (3 when the folder is missing)
    {ENOTDIR,         3},     // ERROR_PATH_NOT_FOUND
    {ENAMETOOLONG,    206},   // ERROR_FILENAME_EXCED_RANGE
    {ELOOP,           1921},  // ERROR_CANT_RESOLVE_FILENAME
    {EXDEV,           17},    // ERROR_NOT_SAME_DEVICE
    {EEXIST,          183},   // ERROR_ALREADY_EXISTS
    {ENOTEMPTY,       145},   // ERROR_DIR_NOT_EMPTY
    {EMLINK,          1142},  // ERROR_TOO_MANY_LINKS
    // Permissions.
    {EACCES,          5},     // ERROR_ACCESS_DENIED
    {EPERM,           5},     // ERROR_ACCESS_DENIED
    {EISDIR,          5},     // ERROR_ACCESS_DENIED, as opening a folder gives
    {EROFS,           19},    // ERROR_WRITE_PROTECT
    // Someone else holds the file.
    {EBUSY,           32},    // ERROR_SHARING_VIOLATION
    {ETXTBSY,         32},    // ERROR_SHARING_VIOLATION
    {EAGAIN,          33},    // ERROR_LOCK_VIOLATION
    {EDEADLK,         1131},  // ERROR_POSSIBLE_DEADLOCK
    {ENOLCK,          36},    // ERROR_SHARING_BUFFER_EXCEEDED
    // Resources.
    {ENOSPC,          112},   // ERROR_DISK_FULL
    {EDQUOT,          112},   // ERROR_DISK_FULL
    {EFBIG,           223},   // ERROR_FILE_TOO_LARGE
    {ENOMEM,          8},     // ERROR_NOT_ENOUGH_MEMORY
    {EMFILE,          4},     // ERROR_TOO_MANY_OPEN_FILES
    {ENFILE,          4},     // ERROR_TOO_MANY_OPEN_FILES
    {EOVERFLOW,       534},   // ERROR_ARITHMETIC_OVERFLOW
    // The device.
    {EIO,             1117},  // ERROR_IO_DEVICE
    {ENXIO,           21},    // ERROR_NOT_READY
    {ENODEV,          21},    // ERROR_NOT_READY
    {ESTALE,          1006},  // ERROR_FILE_INVALID
    {ETIMEDOUT,       1460},  // ERROR_TIMEOUT
    // The call itself.
    {EINVAL,          87},    // ERROR_INVALID_PARAMETER
    {EBADF,           6},     // ERROR_INVALID_HANDLE
    {EFAULT,          487},   // ERROR_INVALID_ADDRESS
    {EINTR,           995},   // ERROR_OPERATION_ABORTED
    {ENOSYS,          50},    // ERROR_NOT_SUPPORTED
    {EOPNOTSUPP,      50},    // ERROR_NOT_SUPPORTED
    {EILSEQ,          1113},  // ERROR_NO_UNICODE_TRANSLATION
};
// clang-format on

}  // namespace

Status Win32FromErrno(int error, PathRole role) {
  if (error == 0) return Status::kOk;
  if (error == ENOENT && role == PathRole::kFolder) return Status::kPathNotFound;
  for (const ErrnoRow& row : kErrnoTable) {
    if (row.error == error) return StatusFromCode(row.win32);
  }
  return Status::kGenFailure;
}

}  // namespace orx::platform
