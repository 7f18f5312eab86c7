// New task ids: their registry form, their randomness, and the random
// source's failures reported rather than hidden.
#include "frame/guid.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "platform/guid.h"
#include "platform/posix/guid_posix.h"

namespace orx {
namespace {

using platform::GuidText;

std::u16string Text(const GuidText& text) { return text.data(); }

// 'x' stands for any upper-case hexadecimal digit, 'v' for the variant digit.
constexpr std::u16string_view kForm = u"{xxxxxxxx-xxxx-4xxx-vxxx-xxxxxxxxxxxx}";

TEST(NewTaskGuid, GivesDistinctVersion4GuidsInRegistryForm) {
  constexpr size_t kCount = 5000;
  std::set<std::u16string> seen;
  std::array<std::set<char16_t>, frame::kTaskGuidLength> digits;  // seen at each position
  for (size_t i = 0; i < kCount; ++i) {
    char16_t text[frame::kTaskGuidLength + 1];
    std::memset(text, 0xEE, sizeof text);
    ASSERT_EQ(frame::NewTaskGuid(text), Status::kOk);
    const std::u16string guid(text);
    ASSERT_EQ(guid.size(), kForm.size());
    for (size_t pos = 0; pos < kForm.size(); ++pos) {
      const std::u16string_view allowed = kForm[pos] == u'x'   ? u"0123456789ABCDEF"
                                          : kForm[pos] == u'v' ? u"89AB"
                                                               : kForm.substr(pos, 1);
      EXPECT_NE(allowed.find(guid[pos]), std::u16string_view::npos) << i << " " << pos;
      digits[pos].insert(guid[pos]);
    }
    seen.insert(guid);
  }
  EXPECT_EQ(seen.size(), kCount);
  // Every random digit takes every value over this many draws; a byte left
  // unfilled or a digit formatted from the wrong nibble would not.
  for (size_t pos = 0; pos < kForm.size(); ++pos) {
    const size_t values = kForm[pos] == u'x' ? 16 : kForm[pos] == u'v' ? 4 : 1;
    EXPECT_EQ(digits[pos].size(), values) << pos;
  }
}

// Fake random sources. Function pointers cannot capture, so the script
// lives in file-level state that each test resets.
int calls;
int fail_errno;
bool interrupt_first;

ssize_t OneBytePerCall(void* buffer, size_t length, unsigned int) {
  if (interrupt_first) {
    interrupt_first = false;
    errno = EINTR;
    return -1;
  }
  if (length == 0) return 0;
  static_cast<uint8_t*>(buffer)[0] = static_cast<uint8_t>(0x10 + calls++);
  return 1;
}

ssize_t Failing(void*, size_t, unsigned int) {
  ++calls;
  if (fail_errno == 0) return 0;  // no progress
  errno = fail_errno;
  return -1;
}

TEST(PosixGuidGenerator, ContinuesShortReadsAndInterruptions) {
  calls = 0;
  interrupt_first = true;
  const auto generator = platform::NewPosixGuidGenerator(&OneBytePerCall);
  const Result<GuidText> guid = generator->NewGuid();
  ASSERT_TRUE(guid.ok());
  EXPECT_EQ(calls, 16);
  EXPECT_EQ(Text(*guid), u"{10111213-1415-4617-9819-1A1B1C1D1E1F}");
}

TEST(PosixGuidGenerator, ReportsTheRandomSourceFailure) {
  struct {
    int error;  // 0: the source returns no bytes
    Status status;
  } const cases[] = {
      {ENOSYS, Status::kNotSupported},
      {EPERM, Status::kAccessDenied},
      {EFAULT, Status::kInvalidAddress},
      {ECHILD, Status::kGenFailure},  // no Win32 counterpart
      {0, Status::kGenFailure},
  };
  for (const auto& c : cases) {
    calls = 0;
    fail_errno = c.error;
    const Result<GuidText> guid = platform::NewPosixGuidGenerator(&Failing)->NewGuid();
    EXPECT_FALSE(guid.ok()) << c.error;
    EXPECT_EQ(guid.status(), c.status) << c.error;
    EXPECT_EQ(calls, 1) << c.error;
  }
}

}  // namespace
}  // namespace orx
