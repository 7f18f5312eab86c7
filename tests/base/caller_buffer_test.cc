// The caller-buffer copies: where a cut falls under each surrogate-pair rule,
// what is terminated, and what a too-small or missing buffer receives.
#include "base/caller_buffer.h"

#include <gtest/gtest.h>

#include <string>

#include "base/utf.h"

namespace orx {
namespace {

struct TerminatedCase {
  std::u16string text;
  uint32_t size;
  PairRule pairs;
  CopyResult expected;
  std::u16string buffer;  // afterwards; "#" is the untouched sentinel
};

constexpr PairRule kSplit = PairRule::kMaySplit;
constexpr PairRule kWhole = PairRule::kKeepWhole;

// clang-format off
const TerminatedCase kTerminatedCases[] = {
    {u"Quick",          0,   kWhole, {0, true},  u"#"},
    {u"",               0,   kWhole, {0, false}, u"#"},
    {u"Quick",          1,   kWhole, {0, true},  u""},
    {u"Quick",          5,   kWhole, {4, true},  u"Quic"},
    {u"Quick",          6,   kWhole, {5, false}, u"Quick"},
    {u"Quick",          100, kSplit, {5, false}, u"Quick"},
    {u"",               10,  kSplit, {0, false}, u""},
    {u"ab\U0001F600",   4,   kWhole, {2, true},  u"ab"},          // the pair stays whole
    {u"ab\U0001F600",   4,   kSplit, {3, true},  u"ab\xD83D"},    // cut at the unit
    {u"ab\U0001F600",   5,   kWhole, {4, false}, u"ab\U0001F600"},
    {u"\U0001F600",     2,   kWhole, {0, true},  u""},
    {u"a\xDC00z",       3,   kWhole, {2, true},  u"a\xDC00"},      // a lone low half is plain text
};
// clang-format on

TEST(CopyTerminated, CutsToSizeMinusOneByTheRuleAskedFor) {
  for (const TerminatedCase& c : kTerminatedCases) {
    char16_t buffer[110] = {u'#', u'\0'};
    const CopyResult result = CopyTerminated(c.text, buffer, c.size, c.pairs);
    EXPECT_EQ(result.copied, c.expected.copied) << c.size;
    EXPECT_EQ(result.cut, c.expected.cut) << c.size;
    EXPECT_EQ(std::u16string(buffer), c.buffer) << c.size;
  }
  EXPECT_EQ(CopyTerminated(u"abc", nullptr, 10).copied, 0u);
}

TEST(CopyZeroFilled, FillsTheWholeCapacityAndLeavesAFullCopyUnterminated) {
  const struct {
    std::u16string text;
    uint32_t size;
    std::u16string buffer;  // all 8 units afterwards
  } cases[] = {
      {u"6666", 6, std::u16string(u"6666\0\0xx", 8)},
      {u"Task12", 4, u"Taskxxxx"},
      {u"Task1", 5, u"Task1xxx"},
      {u"", 3, std::u16string(u"\0\0\0xxxxx", 8)},
      {u"abc", 0, u"xxxxxxxx"},
  };
  for (const auto& c : cases) {
    std::u16string buffer(8, u'x');
    CopyZeroFilled(c.text, buffer.data(), c.size);
    EXPECT_EQ(buffer, c.buffer) << c.size;
  }
}

TEST(Surrogates, HalvesAreTheirRangesExactly) {
  for (const char16_t unit : {u'\xD7FF', u'\xD800', u'\xDBFF', u'\xDC00', u'\xDFFF', u'\xE000'}) {
    EXPECT_EQ(IsHighSurrogate(unit), unit >= 0xD800 && unit <= 0xDBFF) << int{unit};
    EXPECT_EQ(IsLowSurrogate(unit), unit >= 0xDC00 && unit <= 0xDFFF) << int{unit};
  }
}

}  // namespace
}  // namespace orx
