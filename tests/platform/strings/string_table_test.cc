#include "platform/string_table.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace orx::platform {
namespace {

struct ParseCase {
  std::string bytes;
  std::map<uint32_t, std::u16string> strings;
  size_t skipped;
};

// clang-format off
const ParseCase kParseCases[] = {
    {"1000=Quick scan\n1001=Full\n",        {{1000, u"Quick scan"}, {1001, u"Full"}}, 0},
    {"7=a",                                 {{7, u"a"}},                 0},  // no final newline
    {"1= a = b # c \n",                     {{1, u" a = b # c "}},       0},  // verbatim
    {"1=a\r\n2=b\r\n",                      {{1, u"a"}, {2, u"b"}},      0},
    {"1=a\r\r\n",                           {{1, u"a\r"}},               0},  // one CR dropped
    {"1=x\\ny\\tz\\\\w",                    {{1, u"x\ny\tz\\w"}},        0},
    {"1=\\\\n",                             {{1, u"\\n"}},               0},
    {"1=a\\qb\\",                           {{1, u"a\\qb\\"}},           0},  // not escapes
    {"# c\n\n   \n#1=x\n2=y\n",             {{2, u"y"}},                 0},
    {" #1=x\nnone\n=x\nabc=1\n-1=x\n 1=x\n1 =x\n", {},                   7},
    {"0=z\n65535=m\n65536=o\n99999999999999999999=h\n", {{0, u"z"}, {65535, u"m"}}, 2},
    {"00001000=lead\n",                     {{1000, u"lead"}},           0},
    {"5=first\n5=second\n",                 {{5, u"second"}},            0},  // later wins
    {"5=\n",                                {{5, u""}},                  0},
    {"\xEF\xBB\xBF" "1=a\n\xEF\xBB\xBF" "2=b\n", {{1, u"a"}},            1},  // BOM at start only
    {"1=Pr\xC3\xBC" "fung\n2=\xF0\x9F\x98\x80\n", {{1, u"Pr\u00FCfung"}, {2, u"\U0001F600"}}, 0},
    {"1=\xFF\n2=\xC3\n3=ok\n",              {{3, u"ok"}},                2},  // invalid UTF-8
    {std::string("1=a\0b\n2=c\n", 10),      {{2, u"c"}},                 1},  // NUL
};
// clang-format on

TEST(StringTableParse, ReadsEveryFormOfLine) {
  for (const ParseCase& c : kParseCases) {
    const StringTable table = StringTable::Parse(c.bytes);
    EXPECT_EQ(table.size(), c.strings.size()) << c.bytes;
    EXPECT_EQ(table.skipped_lines(), c.skipped) << c.bytes;
    for (const auto& [id, text] : c.strings) EXPECT_EQ(table.Find(id), text) << c.bytes;
  }
}

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
  const LanguageModule* const modules[] = {&module, &module, &module, &module, nullptr};
  const uint32_t ids[] = {1000, 1001, 1002, 1000 + 65536, 1000};
  for (size_t i = 0; i < std::size(ids); ++i) {
    char16_t buffer[32] = {u'#', u'#'};
    const uint32_t copied = LoadStringW(modules[i], ids[i], buffer, 32);
    EXPECT_EQ(std::u16string(buffer), i == 0 ? u"Quick scan" : u"") << i;
    EXPECT_EQ(copied, i == 0 ? 10u : 0u) << i;
  }
}

TEST(LoadStringW, CutsToTheBufferWithoutSplittingASurrogatePair) {
  const FixedModule module(
      "1000=ab\xF0\x9F\x98\x80"
      "c\n");
  const struct {
    uint32_t size;
    uint32_t copied;
    std::u16string text;
  } cases[] = {{0, 0, u"#"},
               {1, 0, u""},
               {3, 2, u"ab"},
               {4, 2, u"ab"},
               {5, 4, u"ab\U0001F600"},
               {9, 5, u"ab\U0001F600c"}};
  for (const auto& c : cases) {
    char16_t buffer[16] = {u'#', u'\0'};
    EXPECT_EQ(LoadStringW(&module, 1000, buffer, c.size), c.copied) << c.size;
    EXPECT_EQ(std::u16string(buffer), c.text) << c.size;
  }
}

}  // namespace
}  // namespace orx::platform
