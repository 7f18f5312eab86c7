#include "status_text.h"

namespace orx::cli {
namespace {

struct StatusRow {
  int32_t status;
  StatusText text;
};

// clang-format off
constexpr StatusRow kStatusRows[] = {
    {0,    {"ERROR_SUCCESS",              "the operation was carried out"}},
    {2,    {"ERROR_FILE_NOT_FOUND",       "a file does not exist"}},
    {3,    {"ERROR_PATH_NOT_FOUND",       "the data folder does not exist"}},
    {4,    {"ERROR_TOO_MANY_OPEN_FILES",  "the process has too many files open"}},
    {5,    {"ERROR_ACCESS_DENIED",        "the file or its folder may not be read or written"}},
    {8,    {"ERROR_NOT_ENOUGH_MEMORY",    "memory ran out"}},
    {19,   {"ERROR_WRITE_PROTECT",        "the file system is read-only"}},
    {32,   {"ERROR_SHARING_VIOLATION",    "the file is in use"}},
    {87,   {"ERROR_INVALID_PARAMETER",    "the library refused the argument or value"}},
    {112,  {"ERROR_DISK_FULL",            "the disk is full"}},
    {122,  {"ERROR_INSUFFICIENT_BUFFER",  "a buffer was too small"}},
    {183,  {"ERROR_ALREADY_EXISTS",       "the file already exists"}},
    {206,  {"ERROR_FILENAME_EXCED_RANGE", "the data folder or file name is too long"}},
    {259,  {"ERROR_NO_MORE_ITEMS",        "there are no more tasks, or no free task slot"}},
    {1113, {"ERROR_NO_UNICODE_TRANSLATION", "the text holds a character that cannot be stored"}},
    {1117, {"ERROR_IO_DEVICE",            "the device reported an input/output error"}},
    {1359, {"ERROR_INTERNAL_ERROR",       "the library failed unexpectedly"}},
};
// clang-format on

}  // namespace

StatusText DescribeStatus(int32_t status) {
  for (const StatusRow& row : kStatusRows) {
    if (row.status == status) return row.text;
  }
  return {"ERROR_UNKNOWN", "the system reported an error"};
}

std::string FormatStatus(int32_t status) {
  const StatusText text = DescribeStatus(status);
  return std::to_string(status) + " " + text.name + ": " + text.sentence;
}

}  // namespace orx::cli
