// TextLength reads whole aligned blocks around the string: every start
// offset within a block and every length across a block's end must still
// give exactly the units before the first zero.
#include "base/text_length.h"

#include <gtest/gtest.h>

#include <string>

namespace orx {
namespace {

TEST(TextLength, CountsUnitsBeforeTheFirstZeroAtEveryAlignment) {
  // Nonzero units all around, so a count that strays past the string's
  // zero, or before its start, finds no other zero nearby.
  alignas(16) char16_t buffer[96];
  for (size_t start = 0; start < 8; ++start) {
    for (size_t length = 0; length < 40; ++length) {
      std::fill(std::begin(buffer), std::end(buffer), u'\xFFFF');
      buffer[start + length] = u'\0';
      EXPECT_EQ(TextLength(buffer + start), length) << "start " << start << " length " << length;
    }
  }
}

TEST(TextLength, StopsAtTheFirstZeroAndReadsUnitsAboveAscii) {
  const std::u16string text(u"\x00E9t\x00E9\0rest", 8);
  EXPECT_EQ(TextLength(text.c_str()), 3u);
  EXPECT_EQ(TextLength(u""), 0u);
  const std::u16string long_text(1000, u'\x4E2D');
  EXPECT_EQ(TextLength(long_text.c_str()), 1000u);
}

}  // namespace
}  // namespace orx
