// New task ids: their registry form, their randomness, and the random
// source's failures reported rather than hidden.
#include "frame/guid.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <string>

#include "platform/guid.h"
#include "platform/posix/guid_posix.h"

namespace orx {
namespace {

using platform::GuidText;

std::u16string Text(const GuidText& text) { return text.data(); }

TEST(FormatVersion4Guid, SetsVersionAndVariantOverTheRandomBits) {
  struct {
    uint8_t fill;
    std::u16string text;
  } const cases[] = {
      {0x00, u"{00000000-0000-4000-8000-000000000000}"},
      {0xFF, u"{FFFFFFFF-FFFF-4FFF-BFFF-FFFFFFFFFFFF}"},
      {0x5A, u"{5A5A5A5A-5A5A-4A5A-9A5A-5A5A5A5A5A5A}"},
  };
  for (const auto& c : cases) {
    std::array<uint8_t, 16> random;
    random.fill(c.fill);
    EXPECT_EQ(Text(platform::FormatVersion4Guid(random)), c.text);
  }
  std::array<uint8_t, 16> counting;
  for (size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<uint8_t>(i * 0x11);
  EXPECT_EQ(Text(platform::FormatVersion4Guid(counting)),
            u"{00112233-4455-4677-8899-AABBCCDDEEFF}");
}

bool IsUpperHex(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'); }

TEST(NewTaskGuid, GivesDistinctVersion4GuidsInRegistryForm) {
  constexpr int kCount = 5000;
  std::set<std::u16string> seen;
  std::array<std::set<char16_t>, frame::kTaskGuidLength> digits;  // seen at each position
  for (int i = 0; i < kCount; ++i) {
    char16_t text[frame::kTaskGuidLength + 1];
    std::memset(text, 0xEE, sizeof text);
    ASSERT_EQ(frame::NewTaskGuid(text), Status::kOk);
    const std::u16string guid(text);
    ASSERT_EQ(guid.size(), 38u);
    EXPECT_EQ(guid.front(), u'{');
    EXPECT_EQ(guid.back(), u'}');
    for (size_t pos = 1; pos < 37; ++pos) {
      if (pos == 9 || pos == 14 || pos == 19 || pos == 24) {
        EXPECT_EQ(guid[pos], u'-') << pos;
      } else {
        EXPECT_TRUE(IsUpperHex(guid[pos])) << pos;
        digits[pos].insert(guid[pos]);
      }
    }
    EXPECT_EQ(guid[15], u'4');
    EXPECT_NE(std::u16string(u"89AB").find(guid[20]), std::u16string::npos) << i;
    seen.insert(guid);
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kCount));
  // Every random digit takes every value over this many draws; a byte left
  // unfilled or a digit formatted from the wrong nibble would not.
  for (size_t pos = 1; pos < 37; ++pos) {
    if (pos == 9 || pos == 14 || pos == 19 || pos == 24 || pos == 15) continue;
    EXPECT_EQ(digits[pos].size(), pos == 20 ? 4u : 16u) << pos;
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
  if (interrupt_first && calls == 1) {
    errno = EINTR;
    return -1;
  }
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
    int error;
    bool interrupt_first;
    Status status;
  } const cases[] = {
      {ENOSYS, false, static_cast<Status>(50)},
      {EPERM, false, Status::kAccessDenied},
      {EFAULT, false, static_cast<Status>(31)},
      {ENOSYS, true, static_cast<Status>(50)},  // the failure after an interruption
      {0, false, static_cast<Status>(31)},      // a source that returns nothing
  };
  for (const auto& c : cases) {
    calls = 0;
    fail_errno = c.error;
    interrupt_first = c.interrupt_first;
    const Result<GuidText> guid = platform::NewPosixGuidGenerator(&Failing)->NewGuid();
    EXPECT_FALSE(guid.ok()) << c.error;
    EXPECT_EQ(guid.status(), c.status) << c.error;
    EXPECT_EQ(calls, c.interrupt_first ? 2 : 1) << c.error;
  }
}

}  // namespace
}  // namespace orx
