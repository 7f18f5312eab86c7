// Encoding rules other than the default, as a Windows build sets them: files
// without a BOM in the ANSI code page (Windows-1252 stands in for it here, and
// a made-up code page shows the codec given is the one used), new files in
// that code page with CRLF, and UTF-16LE with BOM once text does not fit.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/utf.h"
#include "platform/ini/document.h"
#include "platform/ini/encoding.h"

namespace orx::platform::ini {
namespace {

using namespace std::string_view_literals;

const EncodingRules& AnsiRules() {
  static const EncodingRules rules{Windows1252Codec(), false, Encoding::kWindows1252, u"\r\n",
                                   Encoding::kUtf16Le};
  return rules;
}

// A code page of its own: bytes 80..FF are U+0380..U+03FF.
std::u16string DecodeShifted(std::string_view bytes) {
  std::u16string text;
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    text += static_cast<char16_t>(value < 0x80 ? value : 0x300 + value);
  }
  return text;
}

std::optional<std::string> EncodeShifted(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    if (unit >= 0x80 && (unit < 0x380 || unit > 0x3FF)) return std::nullopt;
    bytes += static_cast<char>(unit < 0x80 ? unit : unit - 0x300);
  }
  return bytes;
}

const EncodingRules& ShiftedRules() {
  static const EncodingRules rules{
      {DecodeShifted, EncodeShifted}, false, Encoding::kWindows1252, u"\r\n", Encoding::kUtf16Le};
  return rules;
}

std::string Utf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

struct ReadCase {
  const char* name;
  const EncodingRules* rules;
  std::string file;
  Encoding encoding;
  std::u16string_view value;  // of S/k
};

TEST(EncodingRules, BomLessBytesAreDecodedAsTheRulesSay) {
  const ReadCase cases[] = {
      {"DefaultGuessesUtf8", &DefaultEncodingRules(), "[S]\nk=\xC3\xA4\n", Encoding::kUtf8,
       u"\u00E4"},
      {"AnsiNeverGuesses", &AnsiRules(), "[S]\nk=\xC3\xA4\n", Encoding::kWindows1252,
       u"\u00C3\u00A4"},
      {"TheCodecGivenIsUsed", &ShiftedRules(), "[S]\nk=\xC3\xA4\n", Encoding::kWindows1252,
       u"\u03C3\u03A4"},
      {"ABomStillWins", &ShiftedRules(), Utf16Le(u"[S]\nk=\u00E4\n"), Encoding::kUtf16Le,
       u"\u00E4"},
  };
  for (const ReadCase& c : cases) {
    const Document document = Document::FromBytes(c.file, *c.rules);
    EXPECT_EQ(document.encoding(), c.encoding) << c.name;
    EXPECT_EQ(document.FindValue(u"S", u"k"), c.value) << c.name;
    EXPECT_EQ(document.ToBytes(), c.file) << c.name;
  }
}

TEST(EncodingRules, NewFilesAreInTheCodePageWithCrLf) {
  for (Document document : {Document(AnsiRules()), Document::FromBytes("", AnsiRules())}) {
    EXPECT_EQ(document.encoding(), Encoding::kWindows1252);
    ASSERT_EQ(document.SetValue(u"S", u"k", u"caf\u00E9"), Status::kOk);
    ASSERT_EQ(document.SetValue(u"S", u"j", u"\u20AC"), Status::kOk);
    EXPECT_EQ(document.encoding(), Encoding::kWindows1252);
    EXPECT_EQ(document.ToBytes(), "[S]\r\nk=caf\xE9\r\nj=\x80\r\n");
  }
}

TEST(EncodingRules, TextBeyondTheCodePageTurnsTheFileIntoUtf16) {
  const std::string_view file = "[A]\r\nname=Caf\xE9\r\n[B]\r\nother=\x80\r\n";
  const std::u16string_view beyond = u"\u65E5\u672C \U0001F600";
  for (const EncodingRules* rules : {&AnsiRules(), &ShiftedRules()}) {
    Document document = Document::FromBytes(file, *rules);
    const std::u16string name = document.FindValue(u"A", u"name")->ToU16();
    const std::u16string other = document.FindValue(u"B", u"other")->ToU16();
    ASSERT_EQ(document.SetValue(u"A", u"new", beyond), Status::kOk);
    EXPECT_EQ(document.encoding(), Encoding::kUtf16Le);
    const std::u16string expected = u"[A]\r\nname=" + name + u"\r\nnew=" + std::u16string(beyond) +
                                    u"\r\n[B]\r\nother=" + other + u"\r\n";
    EXPECT_EQ(document.ToBytes(), Utf16Le(expected));
    const Document reread = Document::FromBytes(document.ToBytes(), *rules);
    EXPECT_EQ(reread.FindValue(u"A", u"name"), name);
    EXPECT_EQ(reread.FindValue(u"A", u"new"), beyond);
    EXPECT_EQ(reread.FindValue(u"B", u"other"), other);
  }
}

TEST(EncodingRules, OnlyGuessingRulesLeaveTheCodePageForBytesThatReadAsUtf8) {
  // Deleting the one byte that made the file invalid UTF-8 leaves bytes a
  // guessing reader would take for UTF-8; a reader that never guesses would
  // not, so the file can stay as it is.
  const std::string_view file = "[S]\r\nk=\xC3\xA4\r\nbad=\xFF\r\n";
  struct Case {
    const EncodingRules* rules;
    Encoding after;
  };
  for (const Case& c : {Case{&DefaultEncodingRules(), Encoding::kUtf8Bom},
                        Case{&AnsiRules(), Encoding::kWindows1252}}) {
    Document document = Document::FromBytes(file, *c.rules);
    ASSERT_EQ(document.encoding(), Encoding::kWindows1252);
    ASSERT_EQ(document.DeleteKey(u"S", u"bad"), Status::kOk);
    EXPECT_EQ(document.encoding(), c.after);
    EXPECT_EQ(Document::FromBytes(document.ToBytes(), *c.rules).FindValue(u"S", u"k"),
              u"\u00C3\u00A4");
  }
}

TEST(EncodingRules, AFileWithABomKeepsItsEncodingAndLineEnds) {
  for (const std::string_view bom : {"\xEF\xBB\xBF"sv, ""sv}) {
    const std::string file = std::string(bom) + "[S]\nk=1\n";
    const EncodingRules& rules = bom.empty() ? DefaultEncodingRules() : AnsiRules();
    Document document = Document::FromBytes(file, rules);
    ASSERT_EQ(document.SetValue(u"S", u"j", u"\u65E5"), Status::kOk);
    EXPECT_EQ(document.ToBytes(), std::string(bom) + "[S]\nk=1\nj=\xE6\x97\xA5\n");
  }
}

}  // namespace
}  // namespace orx::platform::ini
