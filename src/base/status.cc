// The names of the statuses, for messages and test output.
#include "base/status.h"

#include <ostream>

namespace orx {
namespace {

struct NamedStatus {
  Status status;
  std::string_view name;
};

// clang-format off
constexpr NamedStatus kStatusNames[] = {
    {Status::kOk,                     "ERROR_SUCCESS"},
    {Status::kFileNotFound,           "ERROR_FILE_NOT_FOUND"},
    {Status::kPathNotFound,           "ERROR_PATH_NOT_FOUND"},
    {Status::kTooManyOpenFiles,       "ERROR_TOO_MANY_OPEN_FILES"},
    {Status::kAccessDenied,           "ERROR_ACCESS_DENIED"},
    {Status::kInvalidHandle,          "ERROR_INVALID_HANDLE"},
    {Status::kNotEnoughMemory,        "ERROR_NOT_ENOUGH_MEMORY"},
    {Status::kNotSameDevice,          "ERROR_NOT_SAME_DEVICE"},
    {Status::kWriteProtect,           "ERROR_WRITE_PROTECT"},
    {Status::kNotReady,               "ERROR_NOT_READY"},
    {Status::kGenFailure,             "ERROR_GEN_FAILURE"},
    {Status::kSharingViolation,       "ERROR_SHARING_VIOLATION"},
    {Status::kLockViolation,          "ERROR_LOCK_VIOLATION"},
    {Status::kSharingBufferExceeded,  "ERROR_SHARING_BUFFER_EXCEEDED"},
    {Status::kNotSupported,           "ERROR_NOT_SUPPORTED"},
    {Status::kInvalidParameter,       "ERROR_INVALID_PARAMETER"},
    {Status::kDiskFull,               "ERROR_DISK_FULL"},
    {Status::kInsufficientBuffer,     "ERROR_INSUFFICIENT_BUFFER"},
    {Status::kInvalidName,            "ERROR_INVALID_NAME"},
    {Status::kDirNotEmpty,            "ERROR_DIR_NOT_EMPTY"},
    {Status::kAlreadyExists,          "ERROR_ALREADY_EXISTS"},
    {Status::kFilenameExcedRange,     "ERROR_FILENAME_EXCED_RANGE"},
    {Status::kFileTooLarge,           "ERROR_FILE_TOO_LARGE"},
    {Status::kMoreData,               "ERROR_MORE_DATA"},
    {Status::kNoMoreItems,            "ERROR_NO_MORE_ITEMS"},
    {Status::kInvalidAddress,         "ERROR_INVALID_ADDRESS"},
    {Status::kArithmeticOverflow,     "ERROR_ARITHMETIC_OVERFLOW"},
    {Status::kOperationAborted,       "ERROR_OPERATION_ABORTED"},
    {Status::kFileInvalid,            "ERROR_FILE_INVALID"},
    {Status::kNoUnicodeTranslation,   "ERROR_NO_UNICODE_TRANSLATION"},
    {Status::kIoDevice,               "ERROR_IO_DEVICE"},
    {Status::kPossibleDeadlock,       "ERROR_POSSIBLE_DEADLOCK"},
    {Status::kTooManyLinks,           "ERROR_TOO_MANY_LINKS"},
    {Status::kInternalError,          "ERROR_INTERNAL_ERROR"},
    {Status::kTimeout,                "ERROR_TIMEOUT"},
    {Status::kCantResolveFilename,    "ERROR_CANT_RESOLVE_FILENAME"},
};
// clang-format on

}  // namespace

std::string_view StatusName(Status status) {
  for (const NamedStatus& row : kStatusNames) {
    if (row.status == status) return row.name;
  }
  return {};
}

void PrintTo(Status status, std::ostream* os) {
  *os << ToAbi(status);
  if (std::string_view name = StatusName(status); !name.empty()) *os << ' ' << name;
}

}  // namespace orx
