// The inspection view must agree with what reads see: values in read form,
// the first of repeated sections and keys, and the lines no read reaches.
#include "platform/ini/line_survey.h"

#include <gtest/gtest.h>

#include "platform/ini/document.h"

namespace orx::platform::ini {
namespace {

TEST(Inspection, ValuesAreInTheFormReadsReturn) {
  const struct {
    const char* line;
    std::u16string value;
  } cases[] = {
      {"K=\"30\"", u"30"},   {"K='30'", u"30"}, {"K= 30 ", u"30"},   {"K=\v30\t", u"30"},
      {"K=\"30'", u"\"30'"}, {"K=a=b", u"a=b"}, {"K=\f30", u"\f30"},  // form feed is no blank of a
                                                                      // line
  };
  for (const auto& c : cases) {
    const std::string bytes = std::string("[S]\n") + c.line + "\n";
    const Inspection inspection = Inspect(bytes);
    ASSERT_EQ(inspection.lines.size(), 2u) << c.line;
    EXPECT_EQ(inspection.lines[1].value, c.value) << c.line;
    EXPECT_EQ(*Document::FromBytes(bytes).FindValue(u"S", u"K"), c.value) << c.line;
  }
}

TEST(Inspection, KindsSectionsAndRepeats) {
  const Inspection inspection =
      Inspect("stray=1\n; note\n[A] tail\nk=1\nK=2\njust text\n\n[a]\nk=3\n[B\nk=4\n");
  const struct {
    InspectedKind kind;
    const char16_t* name;
    const char16_t* section;
    uint32_t first_line;
    bool ignored;
  } expected[] = {
      {InspectedKind::kEntry, u"stray", u"", 0, false},
      {InspectedKind::kComment, u"", u"", 0, false},
      {InspectedKind::kHeader, u"A", u"A", 0, false},
      {InspectedKind::kEntry, u"k", u"A", 0, false},
      {InspectedKind::kEntry, u"K", u"A", 4, false},
      {InspectedKind::kText, u"just text", u"A", 0, false},
      {InspectedKind::kBlank, u"", u"A", 0, false},
      {InspectedKind::kHeader, u"a", u"a", 3, true},
      {InspectedKind::kEntry, u"k", u"a", 0, true},
      {InspectedKind::kHeader, u"B", u"B", 0, false},
      {InspectedKind::kEntry, u"k", u"B", 0, false},
  };
  ASSERT_EQ(inspection.lines.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const InspectedLine& line = inspection.lines[i];
    EXPECT_EQ(line.number, i + 1);
    EXPECT_EQ(line.kind, expected[i].kind) << i;
    EXPECT_EQ(line.name, expected[i].name) << i;
    EXPECT_EQ(line.section, expected[i].section) << i;
    EXPECT_EQ(line.in_section, i >= 2) << i;
    EXPECT_EQ(line.first_line, expected[i].first_line) << i;
    EXPECT_EQ(line.in_ignored_section, expected[i].ignored) << i;
  }
  EXPECT_TRUE(inspection.lines[2].header_closed);
  EXPECT_EQ(inspection.lines[2].after_header, u"tail");
  EXPECT_FALSE(inspection.lines[9].header_closed);
}

TEST(Inspection, ReportsTheEncoding) {
  EXPECT_EQ(Inspect("[S]\nk=\xE9\n").encoding, Encoding::kWindows1252);
  EXPECT_EQ(Inspect("\xEF\xBB\xBF[S]\n").encoding, Encoding::kUtf8Bom);
  const Inspection utf16 = Inspect(std::string("\xFF\xFE[\0S\0]\0", 8));
  EXPECT_EQ(utf16.encoding, Encoding::kUtf16Le);
  EXPECT_EQ(utf16.lines[0].name, u"S");
  EXPECT_STREQ(EncodingName(Encoding::kUtf16Be), "UTF-16BE");
}

}  // namespace
}  // namespace orx::platform::ini
