// Views of either form of text, and the pieces of the engine that read ASCII
// bytes in place of UTF-16: they must answer exactly as for the same units
// in UTF-16, wherever a block edge of the vector code falls.
#include "platform/ini/text_view.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/ini/case_fold.h"
#include "platform/ini/encoding.h"
#include "platform/ini/line.h"
#include "platform/ini/name_hash.h"

namespace orx::platform::ini {
namespace {

std::u16string Wide(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

TEST(TextView, ComparesUnitForUnitAcrossForms) {
  struct Case {
    std::string_view ascii;
    std::u16string_view wide;
    bool equal;
  };
  const Case cases[] = {
      {"", u"", true},         {"abc", u"abc", true},
      {"abc", u"abd", false},  {"abc", u"ab", false},
      {"abc", u"ABC", false},  {std::string_view("a\0b", 3), std::u16string_view(u"a\0b", 3), true},
      {"e", u"\u0165", false},  // same low byte, another unit
  };
  for (const Case& c : cases) {
    const TextView ascii = TextView::Ascii(c.ascii);
    EXPECT_EQ(ascii == TextView(c.wide), c.equal) << c.ascii;
    EXPECT_EQ(TextView(c.wide) == ascii, c.equal) << c.ascii;
    EXPECT_TRUE(ascii == TextView::Ascii(std::string(c.ascii)));
    EXPECT_EQ(ascii.ToU16() == c.wide, c.equal);
  }
}

TEST(TextView, CopiesAndCutsLikeUtf16Text) {
  const std::string text = "a value longer than one block of sixteen";
  const TextView ascii = TextView::Ascii(text);
  EXPECT_EQ(ascii.ToU16(), Wide(text));
  EXPECT_EQ(ascii.substr(2, 5), u"value");
  EXPECT_EQ(ascii.substr(35), u"xteen");
  EXPECT_EQ(ascii[0], u'a');
  EXPECT_EQ(ascii.back(), u'n');
  for (const uint32_t size : {0u, 1u, 2u, 16u, 17u, 18u, 32u, 33u, 34u, 41u, 42u, 100u}) {
    char16_t from_ascii[128];
    char16_t from_wide[128];
    std::fill(std::begin(from_ascii), std::end(from_ascii), u'#');
    std::fill(std::begin(from_wide), std::end(from_wide), u'#');
    const std::u16string wide = Wide(text);
    const CopyResult a = CopyTerminated(ascii, from_ascii, size);
    const CopyResult w = CopyTerminated(TextView(wide), from_wide, size);
    EXPECT_EQ(a.copied, w.copied) << size;
    EXPECT_EQ(a.cut, w.cut) << size;
    EXPECT_EQ(std::u16string_view(from_ascii, 128), std::u16string_view(from_wide, 128)) << size;
  }
  std::u16string appended = u">";
  ascii.substr(0, 7).AppendTo(appended);
  EXPECT_EQ(appended, u">a value");
}

TEST(TextView, CaseFoldingAndHashesAgreeAcrossForms) {
  const std::string_view names[] = {
      "",      "k", "Key", "abcd", "abcde", "Task1234", "{6F1D1C2A-0000-4000-8000-00000000ABCD}",
      "a b\tc"};
  for (const std::string_view name : names) {
    const std::u16string wide = Wide(name);
    EXPECT_EQ(NameHash(name), NameHash(std::u16string_view(wide))) << name;
    std::u16string upper = wide;
    for (char16_t& unit : upper) unit = FoldCase(unit);
    EXPECT_EQ(NameHash(name), NameHash(std::u16string_view(upper))) << name;
    EXPECT_TRUE(EqualsIgnoreCase(TextView::Ascii(name), upper)) << name;
    EXPECT_TRUE(EqualsIgnoreCase(TextView::Ascii(name), TextView::Ascii(name))) << name;
  }
  EXPECT_TRUE(EqualsIgnoreCase(TextView::Ascii("is"), u"\u0131\u017F"));
  EXPECT_FALSE(EqualsIgnoreCase(TextView::Ascii("ab"), TextView::Ascii("ac")));
  EXPECT_FALSE(EqualsIgnoreCase(TextView::Ascii("ab"), u"abc"));
  EXPECT_FALSE(EqualsIgnoreCase(TextView::Ascii("@"), TextView::Ascii("`")));  // 0x40 vs 0x60
}

TEST(AsciiScan, FindsStopsAndLineEndsAsInUtf16) {
  // Each stop at every position of texts longer than two blocks of bytes.
  for (const char stop : {'=', ']', '\n', '\r'}) {
    for (size_t length = 0; length <= 40; ++length) {
      for (size_t at = 0; at <= length; ++at) {
        std::string text(length, 'x');
        if (at < length) text[at] = stop;
        const std::u16string wide = Wide(text);
        for (const size_t from : {size_t{0}, size_t{1}, size_t{17}}) {
          if (from > length) continue;
          EXPECT_EQ(FindStopOrLineEnd(text.data(), from, text.size(), u'='),
                    FindStopOrLineEnd(wide.data(), from, wide.size(), u'='))
              << stop << length << ' ' << at;
          EXPECT_EQ(FindLineEnd(text.data(), from, text.size()),
                    FindLineEnd(wide.data(), from, wide.size()));
        }
      }
    }
  }
}

TEST(AsciiScan, SplitsAndNamesLinesAsInUtf16) {
  const std::string text =
      "  [ Head ] tail\r\nkey = value\rno equals\n;c=1\n\n=bare\n\t[open\nlast=line";
  const std::u16string wide = Wide(text);
  std::vector<Line> narrow_lines;
  std::vector<Line> wide_lines;
  EXPECT_EQ(SplitLines(std::string_view(text), narrow_lines),
            SplitLines(std::u16string_view(wide), wide_lines));
  ASSERT_EQ(narrow_lines.size(), wide_lines.size());
  for (size_t i = 0; i < narrow_lines.size(); ++i) {
    const Line& a = narrow_lines[i];
    const Line& b = wide_lines[i];
    EXPECT_EQ(std::tie(a.begin, a.length, a.name_offset, a.name_length, a.value_offset,
                       a.value_length, a.section, a.line_end, a.kind),
              std::tie(b.begin, b.length, b.name_offset, b.name_length, b.value_offset,
                       b.value_length, b.section, b.line_end, b.kind))
        << i;
    EXPECT_EQ(TextView::Ascii(LineName(std::string_view(text), a.begin)),
              LineName(std::u16string_view(wide), b.begin));
    EXPECT_EQ(TextView::Ascii(EntryValue(std::string_view(text), a.begin)),
              EntryValue(std::u16string_view(wide), b.begin));
  }
}

TEST(AsciiScan, TellsAsciiFromAnyHighByte) {
  for (size_t length = 0; length <= 140; length += 7) {
    const std::string ascii(length, 'a');
    EXPECT_TRUE(IsAscii(ascii)) << length;
    for (size_t at = 0; at < length; ++at) {
      std::string high = ascii;
      high[at] = static_cast<char>(0x80 | (at % 0x80));
      EXPECT_FALSE(IsAscii(high)) << length << ' ' << at;
    }
  }
  EXPECT_EQ(AsciiLayoutOf("\xEF\xBB\xBFk=v")->bom_size, 3u);
  EXPECT_EQ(AsciiLayoutOf("k=v")->bom_size, 0u);
  EXPECT_FALSE(AsciiLayoutOf("\xFF\xFEk\0"));
  EXPECT_FALSE(AsciiLayoutOf("\xEF\xBB"));  // a cut BOM is no BOM
}

}  // namespace
}  // namespace orx::platform::ini
