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
  // zero, or before its start, finds no other zero nearby. Each string is
  // written and measured with nothing in between, as a caller that builds a
  // name and reads with it at once does: an optimiser that takes the blocks'
  // reads for other memory than the units may then move them before the
  // store of the zero.
  constexpr size_t kStarts = 8;
  constexpr size_t kLengths = 40;
  alignas(16) char16_t buffer[96];
  size_t measured[kStarts][kLengths];
  for (size_t start = 0; start < kStarts; ++start) {
    for (size_t length = 0; length < kLengths; ++length) {
      std::fill(std::begin(buffer), std::end(buffer), u'\xFFFF');
      buffer[start + length] = u'\0';
      measured[start][length] = TextLength(buffer + start);
    }
  }
  for (size_t start = 0; start < kStarts; ++start) {
    for (size_t length = 0; length < kLengths; ++length) {
      EXPECT_EQ(measured[start][length], length) << "start " << start << " length " << length;
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
