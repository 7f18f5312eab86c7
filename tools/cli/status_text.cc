// Plain words for the statuses the library returns; the names come from the
// library's own status list.
#include "status_text.h"

#include "base/status.h"

namespace orx::cli {
namespace {

struct StatusRow {
  Status status;
  const char* words;
};

constexpr StatusRow kStatusRows[] = {
    {Status::kOk, "done"},
    {Status::kFileNotFound, "no such file"},
    {Status::kPathNotFound, "no such folder"},
    {Status::kTooManyOpenFiles, "too many open files"},
    {Status::kAccessDenied, "permission denied"},
    {Status::kNotEnoughMemory, "out of memory"},
    {Status::kWriteProtect, "the file system is read-only"},
    {Status::kSharingViolation, "another writer holds the file"},
    {Status::kInvalidParameter, "the library refused the name or value"},
    {Status::kDiskFull, "the disk is full"},
    {Status::kInsufficientBuffer, "a buffer was too small"},
    {Status::kInvalidName, "the name is not valid"},
    {Status::kAlreadyExists, "it exists already"},
    {Status::kFilenameExcedRange, "the path is too long"},
    {Status::kFileTooLarge, "the file is too large"},
    {Status::kMoreData, "the value is too long"},
    {Status::kNoMoreItems, "there is no such task, or no free task slot"},
    {Status::kNoUnicodeTranslation, "the text holds a character that cannot be stored"},
    {Status::kIoDevice, "input/output error"},
    {Status::kInternalError, "the library failed unexpectedly"},
    {Status::kTimeout, "timed out"},
};

}  // namespace

std::string StatusNameOf(int32_t status) {
  const std::string_view name = StatusName(StatusFromCode(static_cast<uint32_t>(status)));
  return name.empty() ? "ERROR_" + std::to_string(status) : std::string(name);
}

std::string StatusWords(int32_t status) {
  for (const StatusRow& row : kStatusRows) {
    if (ToAbi(row.status) == status) return row.words;
  }
  return "the system reported an error";
}

std::string FormatStatus(int32_t status) {
  return StatusWords(status) + " (" + std::to_string(status) + ", " + StatusNameOf(status) + ")";
}

}  // namespace orx::cli
