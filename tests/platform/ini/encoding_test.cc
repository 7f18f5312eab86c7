// Encoding detection and conversion: what each kind of file decodes to, that
// every decodable byte string encodes back to itself, and where encoding
// must fail instead of losing a character.
#include "platform/ini/encoding.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

namespace orx::platform::ini {
namespace {

using namespace std::string_view_literals;

struct DecodeCase {
  const char* name;
  std::string_view bytes;
  Encoding encoding;
  std::u16string_view text;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class DecodeBytes : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeBytes, SniffsTheEncodingAndGivesTheBytesBack) {
  const DecodeCase& c = GetParam();
  const DecodedText decoded = Decode(c.bytes);
  EXPECT_EQ(decoded.encoding, c.encoding);
  EXPECT_EQ(decoded.text, c.text);
  // A UTF-16 file's odd last byte is no character and does not come back.
  const bool utf16 = c.encoding == Encoding::kUtf16Le || c.encoding == Encoding::kUtf16Be;
  const std::string_view whole = utf16 ? c.bytes.substr(0, c.bytes.size() & ~size_t{1}) : c.bytes;
  EXPECT_EQ(Encode(decoded.text, decoded.encoding), std::string(whole));
}

const DecodeCase kDecodeCases[] = {
    {"Empty", "", Encoding::kUtf8, u""},
    {"Ascii", "[S]\r\nk=v", Encoding::kUtf8, u"[S]\r\nk=v"},
    {"Utf8WithoutBom", "\xC3\xA9\xE2\x82\xAC", Encoding::kUtf8, u"\u00E9\u20AC"},
    {"Utf8FourBytes", "\xF0\x9F\x98\x80", Encoding::kUtf8, u"\U0001F600"},
    {"Utf8Bom", "\xEF\xBB\xBFk=\xC3\xA9", Encoding::kUtf8Bom, u"k=\u00E9"},
    {"Utf8BomOnly", "\xEF\xBB\xBF", Encoding::kUtf8Bom, u""},
    {"Utf8BomThenStrayBytes",
     "\xEF\xBB\xBF"
     "a\xFF\xC3",
     Encoding::kUtf8Bom, u"a\xDCFF\xDCC3"},
    {"InvalidUtf8Is1252", "caf\xE9", Encoding::kWindows1252, u"caf\u00E9"},
    {"OverlongUtf8Is1252", "\xC0\xAF", Encoding::kWindows1252, u"\u00C0\u00AF"},
    {"EncodedSurrogateIs1252", "\xED\xA0\x80", Encoding::kWindows1252, u"\u00ED\u00A0\u20AC"},
    {"Windows1252HighRange", "\x80\x81\x8A\x9F\xA0\xFF", Encoding::kWindows1252,
     u"\u20AC\u0081\u0160\u0178\u00A0\u00FF"},
    {"Utf16Le", "\xFF\xFEk\0=\0\xE9\0"sv, Encoding::kUtf16Le, u"k=\u00E9"},
    {"Utf16LeBomOnly", "\xFF\xFE", Encoding::kUtf16Le, u""},
    {"Utf16LeSurrogatePair", "\xFF\xFE\x3D\xD8\x00\xDE"sv, Encoding::kUtf16Le, u"\U0001F600"},
    {"Utf16LeLoneSurrogateKept", "\xFF\xFE\x00\xD8"sv, Encoding::kUtf16Le, u"\xD800"},
    {"Utf16LeTruncated", "\xFF\xFEk\0="sv, Encoding::kUtf16Le, u"k"},
    {"Utf16LeBomAndOneByte", "\xFF\xFE=", Encoding::kUtf16Le, u""},
    {"Utf16Be", "\xFE\xFF\0k\0=\x20\xAC"sv, Encoding::kUtf16Be, u"k=\u20AC"},
    {"Utf16BeTruncated", "\xFE\xFF\0k\0"sv, Encoding::kUtf16Be, u"k"},
};

INSTANTIATE_TEST_SUITE_P(Encoding, DecodeBytes, testing::ValuesIn(kDecodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Encoding, EveryWindows1252ByteRoundTrips) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  const DecodedText decoded = Decode(all);
  ASSERT_EQ(decoded.encoding, Encoding::kWindows1252);
  ASSERT_EQ(decoded.text.size(), 256u);
  EXPECT_EQ(decoded.text[0x85], u'\u2026');
  EXPECT_EQ(decoded.text[0x8D], u'\u008D');
  EXPECT_EQ(decoded.text[0x99], u'\u2122');
  EXPECT_EQ(Encode(decoded.text, Encoding::kWindows1252), all);
}

TEST(Encoding, Windows1252RefusesWhatItCannotHold) {
  EXPECT_EQ(Encode(u"\u2764", Encoding::kWindows1252), std::nullopt);
  // 0x80 holds the euro sign, so U+0080 itself has no byte.
  EXPECT_EQ(Encode(u"\u0080", Encoding::kWindows1252), std::nullopt);
  EXPECT_EQ(Encode(u"\u0153\u008F", Encoding::kWindows1252), "\x9C\x8F");
}

TEST(Encoding, Utf8RefusesLoneSurrogatesButKeepsStrayBytes) {
  EXPECT_EQ(Encode(u"a\xD800", Encoding::kUtf8), std::nullopt);
  EXPECT_EQ(Encode(u"\xDC41", Encoding::kUtf8Bom), std::nullopt);
  EXPECT_EQ(Encode(u"a\xDCFF", Encoding::kUtf8Bom),
            "\xEF\xBB\xBF"
            "a\xFF");
  EXPECT_EQ(Encode(u"\xD800", Encoding::kUtf16Be), "\xFE\xFF\xD8\x00"sv);
}

// UTF-16 bytes of `ascii` with `unit` at `at`, after the BOM.
std::string Utf16Bytes(std::string_view ascii, size_t at, char16_t unit, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  const auto put = [&](char16_t u) {
    const char high = static_cast<char>(u >> 8);
    const char low = static_cast<char>(u & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  };
  for (size_t i = 0; i < ascii.size(); ++i) {
    if (i == at) put(unit);
    put(static_cast<char16_t>(ascii[i]));
  }
  return bytes;
}

// Long files round-trip through the block-wise ASCII loops: a character or
// a stray byte at the edges of a block and of the converters' output chunks,
// in every encoding.
TEST(Encoding, LongFilesComeBackByteForByte) {
  const std::string ascii(9000, 'k');
  for (size_t at : {0, 15, 16, 17, 31, 32, 33, 4095, 4096, 4097, 8191, 8192}) {
    SCOPED_TRACE(testing::Message() << "at " << at);
    const std::string before = ascii.substr(0, at);
    const std::string after = ascii.substr(at);
    const std::string plain = before + "\xE2\x82\xAC" + after;
    const std::string with_bom = "\xEF\xBB\xBF" + plain;
    const std::string stray = "\xEF\xBB\xBF" + before + "\xE2\x82" + after;
    const std::string single_byte = before + "\x80\xE9" + after;
    const std::string little = Utf16Bytes(ascii, at, u'\x20AC', false);
    const std::string big = Utf16Bytes(ascii, at, u'\xD83D', true);
    struct File {
      const std::string& bytes;
      Encoding encoding;
      size_t units;
    };
    for (const File& file : {File{plain, Encoding::kUtf8, ascii.size() + 1},
                             File{with_bom, Encoding::kUtf8Bom, ascii.size() + 1},
                             File{stray, Encoding::kUtf8Bom, ascii.size() + 2},
                             File{single_byte, Encoding::kWindows1252, ascii.size() + 2},
                             File{little, Encoding::kUtf16Le, ascii.size() + 1},
                             File{big, Encoding::kUtf16Be, ascii.size() + 1}}) {
      const DecodedText decoded = Decode(file.bytes);
      EXPECT_EQ(decoded.encoding, file.encoding);
      EXPECT_EQ(decoded.text.size(), file.units);
      EXPECT_EQ(decoded.text.find_first_not_of(u'k'), at);
      EXPECT_EQ(Encode(decoded.text, decoded.encoding), file.bytes);
    }
  }
}

}  // namespace
}  // namespace orx::platform::ini
