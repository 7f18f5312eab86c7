// The outcome type of every internal operation. Its value is the Win32 error
// number handed to callers, so crossing the ABI is a cast, not a translation.
// This header is vocabulary shared by every layer, which is why it lives
// below all of them in base/. Every status the library can return has a name
// here; a number the system reports that has none still travels as it is.
#ifndef ORX_BASE_STATUS_H_
#define ORX_BASE_STATUS_H_

#include <cstdint>
#include <iosfwd>
#include <string_view>

namespace orx {

enum class [[nodiscard]] Status : int32_t{
    kOk = 0,
    kFileNotFound = 2,             // ERROR_FILE_NOT_FOUND
    kPathNotFound = 3,             // ERROR_PATH_NOT_FOUND
    kTooManyOpenFiles = 4,         // ERROR_TOO_MANY_OPEN_FILES
    kAccessDenied = 5,             // ERROR_ACCESS_DENIED
    kInvalidHandle = 6,            // ERROR_INVALID_HANDLE
    kNotEnoughMemory = 8,          // ERROR_NOT_ENOUGH_MEMORY
    kWriteProtect = 19,            // ERROR_WRITE_PROTECT
    kNotReady = 21,                // ERROR_NOT_READY
    kGenFailure = 31,              // ERROR_GEN_FAILURE
    kSharingViolation = 32,        // ERROR_SHARING_VIOLATION
    kLockViolation = 33,           // ERROR_LOCK_VIOLATION
    kSharingBufferExceeded = 36,   // ERROR_SHARING_BUFFER_EXCEEDED
    kNotSupported = 50,            // ERROR_NOT_SUPPORTED
    kInvalidParameter = 87,        // ERROR_INVALID_PARAMETER
    kDiskFull = 112,               // ERROR_DISK_FULL
    kInsufficientBuffer = 122,     // ERROR_INSUFFICIENT_BUFFER
    kInvalidName = 123,            // ERROR_INVALID_NAME
    kDirNotEmpty = 145,            // ERROR_DIR_NOT_EMPTY
    kNotSameDevice = 17,           // ERROR_NOT_SAME_DEVICE
    kAlreadyExists = 183,          // ERROR_ALREADY_EXISTS
    kFilenameExcedRange = 206,     // ERROR_FILENAME_EXCED_RANGE
    kFileTooLarge = 223,           // ERROR_FILE_TOO_LARGE
    kMoreData = 234,               // ERROR_MORE_DATA
    kNoMoreItems = 259,            // ERROR_NO_MORE_ITEMS
    kInvalidAddress = 487,         // ERROR_INVALID_ADDRESS
    kArithmeticOverflow = 534,     // ERROR_ARITHMETIC_OVERFLOW
    kOperationAborted = 995,       // ERROR_OPERATION_ABORTED
    kFileInvalid = 1006,           // ERROR_FILE_INVALID
    kNoUnicodeTranslation = 1113,  // ERROR_NO_UNICODE_TRANSLATION
    kIoDevice = 1117,              // ERROR_IO_DEVICE
    kPossibleDeadlock = 1131,      // ERROR_POSSIBLE_DEADLOCK
    kTooManyLinks = 1142,          // ERROR_TOO_MANY_LINKS
    kInternalError = 1359,         // ERROR_INTERNAL_ERROR
    kTimeout = 1460,               // ERROR_TIMEOUT
    kCantResolveFilename = 1921,   // ERROR_CANT_RESOLVE_FILENAME
};

constexpr bool IsOk(Status status) { return status == Status::kOk; }

constexpr int32_t ToAbi(Status status) { return static_cast<int32_t>(status); }

// A status the system reported by number (a platform's last error).
constexpr Status StatusFromCode(uint32_t code) { return static_cast<Status>(code); }

// The Win32 name of `status` ("ERROR_ACCESS_DENIED"), or an empty view for a
// number without a name here.
std::string_view StatusName(Status status);

// Lets test frameworks and logs show a status as "5 ERROR_ACCESS_DENIED".
void PrintTo(Status status, std::ostream* os);

// Marks a status that a routine deliberately does not act on.
constexpr void IgnoreStatus(Status) {}

}  // namespace orx

#endif  // ORX_BASE_STATUS_H_
