// A document and the bytes of real files: exact round trips of anything it
// is given, encodings kept or changed on write, golden files with mixed line
// ends, and inputs meant to break a parser (garbage, NULs, a 10 MB line).
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/ini/document.h"

namespace orx::platform::ini {
namespace {

using namespace std::string_view_literals;

std::string ReadGolden(const std::string& name) {
  std::ifstream file(std::string(ORX_TEST_DATA_DIR) + "/ini/" + name, std::ios::binary);
  EXPECT_TRUE(file.good()) << name;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

TEST(DocumentBytes, GoldenUtf16LeFileEditedInPlace) {
  Document document = Document::FromBytes(ReadGolden("utf16le_crlf.ini"));
  EXPECT_EQ(document.encoding(), Encoding::kUtf16Le);
  EXPECT_EQ(document.FindValue(u"scanner", u"path"), u"C:\\Daten\\Gr\u00F6\u00DFe");
  ASSERT_EQ(document.SetValue(u"Scanner", u"Mode", u"3"), Status::kOk);
  ASSERT_EQ(document.SetValue(u"Scanner", u"Emoji", u"\U0001F600"), Status::kOk);
  ASSERT_EQ(document.SetValue(u"L\u00C4UFE", u"Neu", u"ja"), Status::kOk);
  ASSERT_EQ(document.DeleteKey(u"Scanner", u"Path"), Status::kOk);
  EXPECT_EQ(document.ToBytes(), ReadGolden("utf16le_crlf.after.ini"));
}

TEST(DocumentBytes, GoldenWindows1252FileBecomesUtf8WithBom) {
  Document document = Document::FromBytes(ReadGolden("windows1252.ini"));
  EXPECT_EQ(document.encoding(), Encoding::kWindows1252);
  // The euro sign is in the code page: the file stays as it is.
  ASSERT_EQ(document.SetValue(u"Allgemein", u"Name", u"Caf\u00E9 \u20AC"), Status::kOk);
  EXPECT_EQ(document.ToBytes(), ReadGolden("windows1252.ini"));
  ASSERT_EQ(document.SetValue(u"Allgemein", u"Herz", u"\u2764"), Status::kOk);
  EXPECT_EQ(document.encoding(), Encoding::kUtf8Bom);
  EXPECT_EQ(document.ToBytes(), ReadGolden("windows1252.after.ini"));
}

TEST(DocumentBytes, GoldenMixedLineEndsKeptLineByLine) {
  Document document = Document::FromBytes(ReadGolden("mixed_line_ends.ini"));
  ASSERT_EQ(document.SetValue(u"A", u"y", u"2"), Status::kOk);
  ASSERT_EQ(document.DeleteSection(u"B"), Status::kOk);
  ASSERT_EQ(document.SetValue(u"C", u"c", u"3"), Status::kOk);
  EXPECT_EQ(document.ToBytes(), ReadGolden("mixed_line_ends.after.ini"));
}

TEST(DocumentBytes, EncodingAndBomKeptOnWrite) {
  const std::string_view files[] = {
      "\xEF\xBB\xBF[S]\r\n"sv,
      "\xFE\xFF\0[\0S\0]\0\n"sv,
      "\xFF\xFE"sv,
  };
  for (const std::string_view file : files) {
    Document document = Document::FromBytes(file);
    const Encoding encoding = document.encoding();
    ASSERT_EQ(document.SetValue(u"S", u"k", u"\u00E9"), Status::kOk);
    const std::string bytes = document.ToBytes();
    EXPECT_EQ(bytes.substr(0, 2), file.substr(0, 2));
    const Document reread = Document::FromBytes(bytes);
    EXPECT_EQ(reread.encoding(), encoding);
    EXPECT_EQ(reread.FindValue(u"S", u"k"), u"\u00E9");
  }
}

TEST(DocumentBytes, SurrogatePairsRoundTripThroughEveryUnicodeFile) {
  const std::u16string_view value = u"a\U0001F600b\U00010400";
  for (const std::string_view file : {""sv, "\xEF\xBB\xBF"sv, "\xFF\xFE"sv, "\xFE\xFF"sv}) {
    Document document = Document::FromBytes(file);
    ASSERT_EQ(document.SetValue(u"S\U0001F600", u"k\U00010400", value), Status::kOk);
    const Document reread = Document::FromBytes(document.ToBytes());
    EXPECT_EQ(reread.FindValue(u"S\U0001F600", u"k\U00010400"), value);
  }
}

TEST(DocumentBytes, Windows1252FileTakesAnyTextWithoutLoss) {
  Document document = Document::FromBytes("[S]\nk=caf\xE9\n");
  ASSERT_EQ(document.encoding(), Encoding::kWindows1252);
  ASSERT_EQ(document.SetValue(u"\u0416", u"k", u"v"), Status::kOk);
  const Document reread = Document::FromBytes(document.ToBytes());
  EXPECT_EQ(reread.encoding(), Encoding::kUtf8Bom);
  EXPECT_EQ(reread.FindValue(u"S", u"k"), u"caf\u00E9");
  EXPECT_EQ(reread.FindValue(u"\u0436", u"K"), u"v");
}

// "x" holds the two characters U+00C3 U+00A9, whose Windows-1252 bytes
// happen to be the UTF-8 form of U+00E9; only the e-acute of "name" keeps the
// file from reading as UTF-8.
TEST(DocumentBytes, Windows1252FileStaysReadableWhenItsLastNonUtf8ByteGoes) {
  const std::string_view file = "[A]\nname=Caf\xE9\nx=\xC3\xA9\n";
  const auto edits = {
      +[](Document& d) { return d.SetValue(u"A", u"name", u"Cafe"); },
      +[](Document& d) { return d.DeleteKey(u"A", u"name"); },
  };
  for (const auto edit : edits) {
    Document document = Document::FromBytes(file);
    ASSERT_EQ(edit(document), Status::kOk);
    EXPECT_EQ(document.encoding(), Encoding::kUtf8Bom);
    EXPECT_EQ(Document::FromBytes(document.ToBytes()).FindValue(u"A", u"x"), u"\u00C3\u00A9");
  }
  // Plain ASCII reads the same either way, so such a file keeps its form.
  Document ascii = Document::FromBytes("[A]\nname=Caf\xE9\n");
  ASSERT_EQ(ascii.SetValue(u"A", u"name", u"Cafe"), Status::kOk);
  EXPECT_EQ(ascii.ToBytes(), "[A]\nname=Cafe\n");
}

TEST(DocumentBytes, TruncatedUtf16KeepsItsOddByteUntilEdited) {
  const std::string_view file = "\xFF\xFE[\0S\0]\0\n\0k\0=\0v\0X"sv;
  Document document = Document::FromBytes(file);
  EXPECT_EQ(document.FindValue(u"S", u"k"), u"v");
  EXPECT_EQ(document.ToBytes(), file);
  ASSERT_EQ(document.SetValue(u"S", u"k", u"w"), Status::kOk);
  EXPECT_EQ(document.ToBytes(), "\xFF\xFE[\0S\0]\0\n\0k\0=\0w\0"sv);
}

TEST(DocumentBytes, RandomBytesRoundTripAndStayEditable) {
  std::mt19937 random(20240606);
  // Few distinct bytes make line ends, brackets and '=' common.
  const std::string_view alphabet = "[]=;\r\n \t\vkKs\0\xFF\xFE\xEF\xBB\xBF\xC3\xA9\x80"sv;
  for (int round = 0; round < 300; ++round) {
    std::string bytes(random() % 200, '\0');
    for (char& byte : bytes) {
      byte = round % 2 ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
    }
    Document document = Document::FromBytes(bytes);
    ASSERT_EQ(document.ToBytes(), bytes) << round;
    ASSERT_EQ(document.SetValue(u"s", u"k", u"value"), Status::kOk);
    ASSERT_EQ(Document::FromBytes(document.ToBytes()).FindValue(u"S", u"K"), u"value") << round;
  }
}

TEST(DocumentBytes, TenMegabyteLineIsOneValue) {
  const std::string huge(10 << 20, 'x');
  for (const std::string_view end : {""sv, "\r\n"sv}) {
    const std::string file = "[S]\nk=" + huge + std::string(end);
    Document document = Document::FromBytes(file);
    ASSERT_EQ(document.FindValue(u"S", u"k").value_or(u"").size(), huge.size());
    EXPECT_EQ(document.ToBytes(), file);
    ASSERT_EQ(document.SetValue(u"S", u"k2", u"v"), Status::kOk);
    EXPECT_EQ(document.FindValue(u"S", u"k2"), u"v");
  }
}

TEST(DocumentBytes, NulBytesAreOrdinaryText) {
  const std::string_view file = "\0[S\0]\n[S\0]\nk\0=\0\n\0"sv;
  Document document = Document::FromBytes(file);
  EXPECT_EQ(document.FindValue(u"S\0"sv, u"k\0"sv), u"\0"sv);
  EXPECT_EQ(document.ToBytes(), file);
}

}  // namespace
}  // namespace orx::platform::ini
