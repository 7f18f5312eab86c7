#include "platform/string_table.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace orx::platform {
namespace {

using Strings = std::map<uint32_t, std::u16string>;

struct ParseCase {
  const char* name;
  std::string bytes;
  Strings strings;
  size_t skipped;
};

const ParseCase kParseCases[] = {
    {"plain lines",
     "1000=Quick scan\n1001=Full system scan\n",
     {{1000, u"Quick scan"}, {1001, u"Full system scan"}},
     0},
    {"last line without newline", "7=a", {{7, u"a"}}, 0},
    {"empty input", "", {}, 0},
    {"text kept verbatim", "1= a = b # c \n", {{1, u" a = b # c "}}, 0},
    {"CRLF line endings", "1=a\r\n2=b\r\n", {{1, u"a"}, {2, u"b"}}, 0},
    {"only one trailing CR dropped", "1=a\r\r\n", {{1, u"a\r"}}, 0},
    {"CR inside the text stays", "1=a\rb\n", {{1, u"a\rb"}}, 0},
    {"the three escapes", "1=x\\ny\\tz\\\\w", {{1, u"x\ny\tz\\w"}}, 0},
    {"escaped backslash before n", "1=\\\\n", {{1, u"\\n"}}, 0},
    {"other backslashes stay", "1=a\\qb\\r\\", {{1, u"a\\qb\\r\\"}}, 0},
    {"comments and blank lines", "# c\n\n   \n\t\n#1=x\n2=y\n", {{2, u"y"}}, 0},
    {"comment only at line start", " #1=x\n", {}, 1},
    {"lines that are not ID=TEXT", "no equals\n=x\nabc=1\n-1=x\n+1=x\n 1=x\n1 =x\n0x10=x\n", {}, 8},
    {"identifier range",
     "0=zero\n65535=max\n65536=over\n99999999999999999999=huge\n",
     {{0, u"zero"}, {65535, u"max"}},
     2},
    {"leading zeros", "00001000=lead\n", {{1000, u"lead"}}, 0},
    {"later duplicate wins", "5=first\n5=second\n", {{5, u"second"}}, 0},
    {"empty text is a string", "5=\n", {{5, u""}}, 0},
    {"byte order mark at the start",
     "\xEF\xBB\xBF"
     "1=a\n",
     {{1, u"a"}},
     0},
    {"byte order mark elsewhere",
     "1=a\n\xEF\xBB\xBF"
     "2=b\n",
     {{1, u"a"}},
     1},
    {"UTF-8 text",
     "1=Pr\xC3\xBC"
     "fung\n2=\xF0\x9F\x98\x80\n",
     {{1, u"Pr\u00FCfung"}, {2, u"\U0001F600"}},
     0},
    {"invalid UTF-8 skipped", "1=\xFF\n2=\xC3\n3=ok\n", {{3, u"ok"}}, 2},
    {"NUL in the text skipped", std::string("1=a\0b\n2=c\n", 10), {{2, u"c"}}, 1},
};

TEST(StringTableParse, ReadsEveryFormOfLine) {
  for (const ParseCase& c : kParseCases) {
    const StringTable table = StringTable::Parse(c.bytes);
    EXPECT_EQ(table.size(), c.strings.size()) << c.name;
    EXPECT_EQ(table.skipped_lines(), c.skipped) << c.name;
    for (const auto& [id, text] : c.strings) EXPECT_EQ(table.Find(id), text) << c.name;
  }
}

TEST(StringTableParse, FindsNothingForIdsNotDefined) {
  const StringTable table = StringTable::Parse("10=a\n30=c\n");
  for (const uint32_t id : {0u, 9u, 11u, 20u, 31u, 65535u, 65536u + 10, 0xFFFFFFFFu}) {
    EXPECT_TRUE(table.Find(id).empty()) << id;
  }
}

// The copy rule of the string load, on a text of five units and on one
// ending in a surrogate pair. A sentinel shows what the copy touched.
struct CopyCase {
  std::u16string text;
  uint32_t size;
  uint32_t copied;
  std::u16string buffer;  // what the buffer reads afterwards
};

const CopyCase kCopyCases[] = {
    {u"Quick", 0, 0, u"#"},  // nothing touched
    {u"Quick", 1, 0, u""},
    {u"Quick", 2, 1, u"Q"},
    {u"Quick", 5, 4, u"Quic"},
    {u"Quick", 6, 5, u"Quick"},  // exact fit
    {u"Quick", 100, 5, u"Quick"},
    {u"", 10, 0, u""},
    {u"ab\U0001F600", 3, 2, u"ab"},
    {u"ab\U0001F600", 4, 2, u"ab"},  // the pair is not split
    {u"ab\U0001F600", 5, 4, u"ab\U0001F600"},
    {u"\U0001F600", 2, 0, u""},
};

TEST(CopyString, CopiesAtMostSizeMinusOneUnitsAndTerminates) {
  for (const CopyCase& c : kCopyCases) {
    std::u16string buffer(110, u'#');
    EXPECT_EQ(CopyString(c.text, buffer.data(), c.size), c.copied) << c.size;
    EXPECT_EQ(std::u16string(buffer.c_str()).substr(0, c.size == 0 ? 1 : std::u16string::npos),
              c.buffer)
        << c.size;
  }
}

TEST(CopyString, NullBufferCopiesNothing) { EXPECT_EQ(CopyString(u"abc", nullptr, 10), 0u); }

class FixedModule final : public LanguageModule {
 public:
  explicit FixedModule(std::string bytes)
      : table_(std::make_shared<const StringTable>(StringTable::Parse(bytes))) {}
  std::shared_ptr<const StringTable> Table() const override { return table_; }
  const std::string& path() const override { return path_; }

 private:
  std::shared_ptr<const StringTable> table_;
  std::string path_;
};

TEST(LoadStringW, MissingEmptyAndOutOfRangeStringsLoadAsEmpty) {
  const FixedModule module("1000=Quick scan\n1001=\n");
  struct {
    const LanguageModule* module;
    uint32_t id;
    uint32_t copied;
    std::u16string text;
  } const cases[] = {
      {&module, 1000, 10, u"Quick scan"}, {&module, 1001, 0, u""}, {&module, 1002, 0, u""},
      {&module, 1000 + 65536, 0, u""},    {nullptr, 1000, 0, u""},
  };
  for (const auto& c : cases) {
    char16_t buffer[32] = {u'#', u'#'};
    EXPECT_EQ(LoadStringW(c.module, c.id, buffer, 32), c.copied) << c.id;
    EXPECT_EQ(std::u16string(buffer), c.text) << c.id;
  }
}

TEST(LoadStringW, CutsToTheBuffer) {
  const FixedModule module("41111=Copy of %s\n");
  char16_t buffer[5] = {};
  EXPECT_EQ(LoadStringW(&module, 41111, buffer, 5), 4u);
  EXPECT_EQ(std::u16string(buffer), u"Copy");
}

}  // namespace
}  // namespace orx::platform
