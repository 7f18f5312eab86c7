// The UTF-8 <-> UTF-16 conversions at the edges of their ASCII fast paths:
// a non-ASCII character at every position of runs around the block length,
// and at the edges of the output chunks; lone surrogates, which the strict
// form refuses and the path form keeps; and malformed UTF-8, which the
// strict decoder refuses and the path form keeps byte for byte.
#include "base/utf.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace orx {
namespace {

using namespace std::string_view_literals;

// `length` ASCII units that include both ends of the range (NUL and DEL),
// so a test of "below 0x80" that is off by one shows.
std::u16string AsciiText(size_t length, size_t seed) {
  static constexpr std::u16string_view kUnits =
      u"a\x7F"
      u"b=\0[\r\n ;Z~"sv;
  std::u16string text;
  for (size_t i = 0; i < length; ++i) text += kUnits[(i + seed) % kUnits.size()];
  return text;
}

std::string AsciiBytes(std::u16string_view text) { return std::string(text.begin(), text.end()); }

// Every conversion of a well-formed `text` whose UTF-8 form is `bytes`.
void ExpectPair(const std::u16string& text, const std::string& bytes) {
  EXPECT_EQ(EncodeUtf8(text), bytes);
  EXPECT_EQ(DecodeUtf8(bytes), text);
  EXPECT_TRUE(IsValidUtf8(bytes));
  EXPECT_FALSE(HasLoneSurrogate(text));
  EXPECT_EQ(EncodePath(text), bytes);
  EXPECT_EQ(DecodePath(bytes), text);
  std::string appended = "\xEF\xBB\xBF";
  EXPECT_TRUE(AppendUtf8(text, appended));
  EXPECT_EQ(appended, "\xEF\xBB\xBF" + bytes);
}

struct CharacterCase {
  const char* name;
  std::u16string_view units;
  std::string_view bytes;
};

void PrintTo(const CharacterCase& c, std::ostream* os) { *os << c.name; }

class OneCharacterInAscii : public testing::TestWithParam<CharacterCase> {};

// clang-format off
const CharacterCase kCharacters[] = {
    {"FirstTwoByte",    u"\u0080",      "\xC2\x80"},
    {"LastTwoByte",     u"\u07FF",      "\xDF\xBF"},
    {"FirstThreeByte",  u"\u0800",      "\xE0\xA0\x80"},
    {"Euro",            u"\u20AC",      "\xE2\x82\xAC"},
    {"BeforeSurrogates", u"\uD7FF",     "\xED\x9F\xBF"},
    {"AfterSurrogates", u"\uE000",      "\xEE\x80\x80"},
    {"LastThreeByte",   u"\uFFFF",      "\xEF\xBF\xBF"},
    {"FirstPair",       u"\U00010000",  "\xF0\x90\x80\x80"},
    {"Emoji",           u"\U0001F600",  "\xF0\x9F\x98\x80"},
    {"LastPair",        u"\U0010FFFF",  "\xF4\x8F\xBF\xBF"},
};
// clang-format on

TEST_P(OneCharacterInAscii, AtEveryPositionOfRunsAroundTheBlock) {
  const CharacterCase& c = GetParam();
  for (size_t length : {0, 1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 47, 48, 63, 64, 65}) {
    for (size_t at = 0; at <= length; ++at) {
      SCOPED_TRACE(testing::Message() << "run " << length << ", at " << at);
      // Among NULs, the character's own units are all a block test sees.
      const bool nuls = at % 2 == 1;
      const std::u16string ascii = nuls ? std::u16string(length, u'\0') : AsciiText(length, at);
      const std::u16string text = ascii.substr(0, at) + std::u16string(c.units) + ascii.substr(at);
      const std::string bytes =
          AsciiBytes(ascii.substr(0, at)) + std::string(c.bytes) + AsciiBytes(ascii.substr(at));
      ExpectPair(text, bytes);
    }
  }
}

TEST_P(OneCharacterInAscii, AtTheEdgesOfTheOutputChunks) {
  const CharacterCase& c = GetParam();
  // Output is gathered 4096 units at a time; a character may straddle the
  // edge of one chunk in either direction.
  for (size_t at : {4090, 4092, 4093, 4094, 4095, 4096, 4097, 8190, 8191, 8192, 8193}) {
    SCOPED_TRACE(testing::Message() << "at " << at);
    const std::u16string ascii = AsciiText(at + 40, 3);
    const std::u16string text = ascii.substr(0, at) + std::u16string(c.units) + ascii.substr(at);
    const std::string bytes =
        AsciiBytes(ascii.substr(0, at)) + std::string(c.bytes) + AsciiBytes(ascii.substr(at));
    ExpectPair(text, bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(Utf, OneCharacterInAscii, testing::ValuesIn(kCharacters),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Utf, AsciiAndDenseTextOfEveryLengthAroundTheChunk) {
  for (size_t length : {0, 1, 16, 4095, 4096, 4097, 8192, 12289}) {
    SCOPED_TRACE(testing::Message() << "length " << length);
    const std::u16string ascii = AsciiText(length, 0);
    ExpectPair(ascii, AsciiBytes(ascii));
    // Text without ASCII fills the chunks with sequences of 2, 3 and 4
    // bytes, which end at every offset near a chunk's edge.
    std::u16string dense;
    std::string dense_bytes;
    for (size_t i = 0; i < length; ++i) {
      static const CharacterCase kCycle[] = {kCharacters[1], kCharacters[3], kCharacters[8]};
      dense += kCycle[i % 3].units;
      dense_bytes += kCycle[i % 3].bytes;
    }
    ExpectPair(dense, dense_bytes);
  }
}

TEST(Utf, LargeOutputsHoldLittleMoreThanTheirSize) {
  // A character late in a long text must not make the output double its
  // capacity to fit the bytes it adds.
  for (const CharacterCase& c : kCharacters) {
    SCOPED_TRACE(c.name);
    const std::u16string text = AsciiText(100000, 0) + std::u16string(c.units);
    const std::optional<std::string> bytes = EncodeUtf8(text);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_LE(bytes->capacity(), bytes->size() + bytes->size() / 16);
    const std::optional<std::u16string> decoded = DecodeUtf8(*bytes);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_LE(decoded->capacity(), bytes->size() + bytes->size() / 16);
  }
}

struct LoneCase {
  const char* name;
  std::u16string text;
  std::string path_bytes;  // U+DC80..U+DCFF give their byte, others U+FFFD
};

void PrintTo(const LoneCase& c, std::ostream* os) { *os << c.name; }

class LoneSurrogate : public testing::TestWithParam<LoneCase> {};

// clang-format off
const LoneCase kLoneCases[] = {
    {"HighAtTheEnd",     u"abc\xD800",        "abc\xEF\xBF\xBD"},
    {"HighBeforeAscii",  u"\xD83Dz",          "\xEF\xBF\xBDz"},
    {"LowAlone",         u"\xDC00x",          "\xEF\xBF\xBDx"},
    {"ReversedPair",     u"\xDE00\xD83D",     "\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"HighThenHigh",     u"\xD800\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
    {"StrayByteFirst",   u"\xDC80",           "\x80"},
    {"StrayByteLast",    u"a\xDCFF",          "a\xFF"},
    {"JustBelowStray",   u"\xDC7F",           "\xEF\xBF\xBD"},
    {"AfterABlock",      AsciiText(16, 0) + u"\xDCC3",   AsciiBytes(AsciiText(16, 0)) + "\xC3"},
    {"AfterAChunk",      AsciiText(5000, 0) + u"\xD800", AsciiBytes(AsciiText(5000, 0)) + "\xEF\xBF\xBD"},
    {"LongAfterAPair",   u"\U0001F600" + AsciiText(5000, 1) + u"\xDC00",
                         "\xF0\x9F\x98\x80" + AsciiBytes(AsciiText(5000, 1)) + "\xEF\xBF\xBD"},
};
// clang-format on

TEST_P(LoneSurrogate, IsRefusedByTheStrictFormAndKeptByThePathForm) {
  const LoneCase& c = GetParam();
  EXPECT_TRUE(HasLoneSurrogate(c.text));
  EXPECT_EQ(EncodeUtf8(c.text), std::nullopt);
  std::string out = "kept";
  EXPECT_FALSE(AppendUtf8(c.text, out));
  EXPECT_EQ(out, "kept");
  EXPECT_EQ(EncodePath(c.text), c.path_bytes);
}

INSTANTIATE_TEST_SUITE_P(Utf, LoneSurrogate, testing::ValuesIn(kLoneCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct MalformedCase {
  const char* name;
  std::string_view bytes;
};

void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.name; }

class MalformedUtf8 : public testing::TestWithParam<MalformedCase> {};

const MalformedCase kMalformedCases[] = {
    {"LoneContinuation", "\x80"},
    {"TruncatedTwoByte", "\xC3"},
    {"TruncatedThreeByte", "\xE2\x82"},
    {"TruncatedFourByte", "\xF0\x9F\x98"},
    {"ContinuationMissing", "\xC3z"},
    {"OverlongTwoByte", "\xC0\xAF"},
    {"OverlongThreeByte", "\xE0\x80\xAF"},
    {"EncodedSurrogate", "\xED\xA0\x80"},
    {"BeyondTheLastCodePoint", "\xF4\x90\x80\x80"},
    {"NeverALead", "\xFF"},
};

TEST_P(MalformedUtf8, IsRefusedStrictlyAndKeptByThePathForm) {
  const MalformedCase& c = GetParam();
  for (size_t at : {0, 1, 15, 16, 17, 31, 32, 33, 4095, 4096}) {
    SCOPED_TRACE(testing::Message() << "at " << at);
    const std::u16string ascii = AsciiText(at + 20, 5);
    const std::string bytes =
        AsciiBytes(ascii.substr(0, at)) + std::string(c.bytes) + AsciiBytes(ascii.substr(at));
    EXPECT_FALSE(IsValidUtf8(bytes));
    EXPECT_EQ(DecodeUtf8(bytes), std::nullopt);
    // Each byte of the bad sequence that starts no sequence of its own
    // becomes U+DC00 + byte, and the path form gives the bytes back.
    const std::u16string path_text = DecodePath(bytes);
    EXPECT_EQ(path_text.substr(0, at), ascii.substr(0, at));
    EXPECT_TRUE(path_text[at] >= 0xDC80 && path_text[at] <= 0xDCFF);
    EXPECT_EQ(EncodePath(path_text), bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(Utf, MalformedUtf8, testing::ValuesIn(kMalformedCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orx
