#include "platform/posix/errno_to_win32.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace orx::platform {
namespace {

struct ErrnoCase {
  int error;
  PathRole role;
  int32_t win32;
};

// The numbers are what callers on Windows see for the same failure; they
// are listed here from the Win32 error list, not from the table.
constexpr ErrnoCase kCases[] = {
    {0, PathRole::kFile, 0},
    {ENOENT, PathRole::kFile, 2},
    {ENOENT, PathRole::kFolder, 3},
    {ENOTDIR, PathRole::kFile, 3},
    {ENOTDIR, PathRole::kFolder, 3},
    {EACCES, PathRole::kFile, 5},
    {EPERM, PathRole::kFolder, 5},
    {EISDIR, PathRole::kFile, 5},
    {EROFS, PathRole::kFolder, 19},
    {EBUSY, PathRole::kFile, 32},
    {ETXTBSY, PathRole::kFile, 32},
    {EINVAL, PathRole::kFile, 87},
    {ENOSPC, PathRole::kFile, 112},
    {EDQUOT, PathRole::kFile, 112},
    {ENAMETOOLONG, PathRole::kFolder, 206},
    {ENOMEM, PathRole::kFile, 8},
    {EIO, PathRole::kFile, 1117},
    {EMFILE, PathRole::kFile, 4},
    {ENFILE, PathRole::kFile, 4},
    {EEXIST, PathRole::kFolder, 183},
    {ELOOP, PathRole::kFolder, 1921},
    {EFBIG, PathRole::kFile, 223},
    {EAGAIN, PathRole::kFile, 33},
    {ENOLCK, PathRole::kFile, 36},
    {EILSEQ, PathRole::kFile, 1113},
};

TEST(Win32FromErrno, MapsEachErrnoToTheWin32ErrorOfTheSameFailure) {
  for (const ErrnoCase& c : kCases) {
    EXPECT_EQ(static_cast<int32_t>(Win32FromErrno(c.error, c.role)), c.win32)
        << "errno " << c.error << " role " << static_cast<int>(c.role);
  }
}

TEST(Win32FromErrno, NeverTurnsAFailureIntoSuccess) {
  for (int error = 1; error < 200; ++error) {
    EXPECT_NE(Win32FromErrno(error), Status::kOk) << "errno " << error;
  }
  EXPECT_EQ(static_cast<int32_t>(Win32FromErrno(9999)), 31);  // ERROR_GEN_FAILURE
}

}  // namespace
}  // namespace orx::platform
