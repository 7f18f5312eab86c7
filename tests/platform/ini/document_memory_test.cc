// What a parsed document holds, as MemoryUsage reports it: at least its text
// and a share per line, so that a cache bounded by it is bounded in fact.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/ini/document.h"

namespace orx::platform::ini {
namespace {

std::string ManyKeys(int count) {
  std::string file = "[S]\n";
  for (int i = 0; i < count; ++i) file += "key" + std::to_string(i) + "=value\n";
  return file;
}

TEST(DocumentMemory, CountsTheTextAndGrowsWithTheFile) {
  const Document empty;
  const std::string small = ManyKeys(10);
  const std::string large = ManyKeys(20000);
  const Document small_document = Document::FromBytes(small);
  const Document large_document = Document::FromBytes(large);
  EXPECT_GT(small_document.MemoryUsage(), empty.MemoryUsage());
  // Every unit of the text is held, however the document stores it.
  EXPECT_GE(large_document.MemoryUsage(), large.size());
  EXPECT_GT(large_document.MemoryUsage() - small_document.MemoryUsage(),
            large.size() - small.size());
}

TEST(DocumentMemory, AnEditThatAddsLinesAddsToTheCount) {
  Document document = Document::FromBytes(ManyKeys(10));
  const size_t before = document.MemoryUsage();
  for (int i = 0; i < 5000; ++i) {
    ASSERT_EQ(document.SetValue(u"T",
                                u"k" + std::u16string(1, u'a' + i % 26) +
                                    std::u16string(1, u'a' + i / 26 % 26) +
                                    std::u16string(1, u'a' + i / 676),
                                u"a value of some length"),
              Status::kOk);
  }
  EXPECT_GT(document.MemoryUsage(), before + 5000 * 30);
}

TEST(DocumentMemory, AGrowingEditOfALargeFileAddsLittle) {
  // The first edit that lengthens a freshly parsed file outgrows its text
  // and its records: they must grow by a share, not double.
  // An ASCII file is kept as its bytes until the first edit widens it, so
  // the bound is that of the same text read as UTF-16.
  const std::string file = ManyKeys(20000);
  std::string utf16 = "\xFF\xFE";
  for (const char byte : file) (utf16 += byte) += '\0';
  Document document = Document::FromBytes(file);
  const size_t before = Document::FromBytes(utf16).MemoryUsage();
  ASSERT_EQ(document.SetValue(u"S", u"key10", u"a longer value"), Status::kOk);
  ASSERT_EQ(document.SetValue(u"S", u"added", u"1"), Status::kOk);
  EXPECT_LE(document.MemoryUsage(), before + before / 8);
  std::string expected = file;
  expected.replace(expected.find("key10=value"), 11, "key10=a longer value");
  EXPECT_EQ(document.ToBytes(), expected + "added=1\n");
}

TEST(DocumentMemory, LineDenseFilesStayWithinFourTimesTheirSize) {
  // Lines no lookup needs cost only their text; entry lines a record each.
  constexpr size_t kSize = 2 << 20;
  constexpr size_t kConstant = 64 << 10;
  for (const std::string_view line : {"\n", "\r\n", "\r", "a\n", ";\n", " \n", "=\n"}) {
    std::string file = "[S]\nk=v\n";
    while (file.size() + line.size() <= kSize) file += line;
    const Document document = Document::FromBytes(file);
    EXPECT_LE(document.MemoryUsage(), 4 * file.size() + kConstant)
        << testing::PrintToString(std::string(line));
    EXPECT_EQ(document.FindValue(u"S", u"k"), u"v");
  }
}

TEST(DocumentMemory, ShortUniqueKeysStayWithinFourTimesTheirSize) {
  // Every line is a record and an index slot: "abcd=" lines of four-letter
  // names, as many as fit in 1 MiB.
  constexpr size_t kSize = 1 << 20;
  std::string file = "[S]\n";
  std::string name = "aaaa";
  while (file.size() + name.size() + 2 <= kSize) {
    file += name + "=\n";
    for (size_t i = name.size(); i-- > 0 && ++name[i] > 'z';) name[i] = 'a';
  }
  const Document document = Document::FromBytes(file);
  EXPECT_LE(document.MemoryUsage(), 4 * file.size() + (64 << 10));
  EXPECT_EQ(document.FindValue(u"S", u"aaaa"), u"");
  EXPECT_EQ(document.FindValue(u"S", u"ABZZ"), u"");
  EXPECT_EQ(document.FindValue(u"S", u"zzzz"), std::nullopt);
}

}  // namespace
}  // namespace orx::platform::ini
