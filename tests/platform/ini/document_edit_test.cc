// How a document changes a file: "file text before, edits, file text after".
// Every case also checks that the edited document answers as a fresh parse
// of its own bytes does, so the in-place index updates are checked too.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini/document.h"
#include "platform/ini/entries.h"

namespace orx::platform::ini {
namespace {

using namespace std::string_view_literals;

struct Op {
  enum Kind { kSet, kDeleteKey, kDeleteSection } kind;
  std::u16string_view section;
  std::u16string_view key = {};
  std::u16string_view value = {};
};

Op Set(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  return {Op::kSet, section, key, value};
}
Op DeleteKey(std::u16string_view section, std::u16string_view key) {
  return {Op::kDeleteKey, section, key};
}
Op DeleteSection(std::u16string_view section) { return {Op::kDeleteSection, section}; }

Status Apply(Document& document, const Op& op) {
  switch (op.kind) {
    case Op::kSet:
      return document.SetValue(op.section, op.key, op.value);
    case Op::kDeleteKey:
      return document.DeleteKey(op.section, op.key);
    case Op::kDeleteSection:
      return document.DeleteSection(op.section);
  }
  return Status::kOk;
}

struct EditCase {
  const char* name;
  std::string_view before;
  std::vector<Op> ops;
  std::string_view after;
  Status last_status = Status::kOk;
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

class Edit : public testing::TestWithParam<EditCase> {};

TEST_P(Edit, ChangesOnlyTheLinesConcerned) {
  const EditCase& c = GetParam();
  Document document = Document::FromBytes(c.before);
  for (size_t i = 0; i < c.ops.size(); ++i) {
    const Status expected = i + 1 == c.ops.size() ? c.last_status : Status::kOk;
    EXPECT_EQ(Apply(document, c.ops[i]), expected) << "edit " << i;
  }
  EXPECT_EQ(document.ToBytes(), c.after);
  EXPECT_EQ(document.changed(), c.before != c.after);

  const Document reparsed = Document::FromBytes(document.ToBytes());
  for (const Op& op : c.ops) {
    EXPECT_EQ(document.FindValue(op.section, op.key), reparsed.FindValue(op.section, op.key));
    EXPECT_EQ(Entries(document, op.section), Entries(reparsed, op.section));
  }
}

const EditCase kEditCases[] = {
    // New files, sections and keys.
    {"NewFile", "", {Set(u"S", u"k", u"v")}, "[S]\nk=v\n"},
    {"AppendAfterTextWithoutLineEnd",
     "Data \0 before \0 first \0 section"sv,
     {Set(u"section1", u"key1", u"string1")},
     "Data \0 before \0 first \0 section\n[section1]\nkey1=string1\n"sv},
    {"SectionsAppendedInCallOrder",
     "[App1]\r\nkey1=string1\r\n",
     {Set(u"App1", u"key2", u"string2"), Set(u"App2", u"key4", u"string4"),
      Set(u"App3", u"key5", u"string5")},
     "[App1]\r\nkey1=string1\r\nkey2=string2\r\n[App2]\r\nkey4=string4\r\n[App3]\r\nkey5="
     "string5\r\n"},
    {"NewKeysAfterLastEntryInCallOrder",
     "[S]\r\nb=value\r\na=value\r\n",
     {Set(u"S", u"z", u""), Set(u"S", u"b", u""), Set(u"S", u"y", u""), Set(u"S", u"a", u"")},
     "[S]\r\nb=\r\na=\r\nz=\r\ny=\r\n"},
    {"CommentsKeepTheirPlaces",
     ";c0\r\n[S]\r\n;c1\r\nb=v\r\n;c2\r\na=v\r\n",
     {Set(u"S", u"z", u""), Set(u"S", u"y", u""), Set(u"S", u"a", u""), Set(u"S", u"b", u"")},
     ";c0\r\n[S]\r\n;c1\r\nb=\r\n;c2\r\na=\r\nz=\r\ny=\r\n"},
    {"NewKeyBeforeTrailingCommentAndBlank",
     "[S]\na=1\n;tail\n\n[T]\nt=1\n",
     {Set(u"S", u"b", u"2"), Set(u"T", u"u", u"2")},
     "[S]\na=1\nb=2\n;tail\n\n[T]\nt=1\nu=2\n"},
    {"NewKeyAfterTextLine", "[S]\nname3\n;c\n", {Set(u"S", u"k", u"v")}, "[S]\nname3\nk=v\n;c\n"},
    {"NewKeyRightAfterHeader", "[S]\r\n;c\r\n", {Set(u"S", u"k", u"v")}, "[S]\r\nk=v\r\n;c\r\n"},
    {"HeaderWithoutLineEnd", "[S]", {Set(u"s", u"k", u"v")}, "[S]\nk=v\n"},
    {"TextLineIsNoKeyToUpdate", "[S]\nk\n", {Set(u"S", u"k", u"v")}, "[S]\nk\nk=v\n"},
    {"NamesTrimmedOfBlanks", "", {Set(u" \tsec\v ", u" key\t", u"v")}, "[sec]\nkey=v\n"},
    {"EmptyNames", "", {Set(u"", u"", u"v")}, "[]\n=v\n"},
    {"SemicolonSectionName", "", {Set(u";section", u"k", u"v")}, "[;section]\nk=v\n"},
    // Existing keys.
    {"ExistingKeyKeepsSpellingAndMissingLineEnd",
     "[SectionName]\r\nTestKey=TestValue",
     {Set(u"SECTIONNAME", u"TESTKEY", u"TestValue2")},
     "[SectionName]\r\nTestKey=TestValue2"},
    {"RewrittenLineLosesIndentAndSpaces",
     "[S]\n  k = old  \n",
     {Set(u"S", u"K", u"new")},
     "[S]\nk=new\n"},
    {"SameValueChangesNothing", "[S]\n k = v \n", {Set(u"S", u"k", u"v")}, "[S]\n k = v \n"},
    {"FirstDuplicateKeyUpdated",
     "[S]\r\nk=1\r\nk=2\r\n",
     {Set(u"S", u"k", u"3")},
     "[S]\r\nk=3\r\nk=2\r\n"},
    {"FirstDuplicateSectionUpdated",
     "[S]\na=1\n[S]\nb=2\n",
     {Set(u"S", u"b", u"3")},
     "[S]\na=1\nb=3\n[S]\nb=2\n"},
    // Line ends: each line keeps its own, new lines take the first one's.
    {"MixedLineEnds",
     "[S]\r\na=1\nb=2\r",
     {Set(u"S", u"a", u"x"), Set(u"S", u"b", u"y"), Set(u"S", u"c", u"z")},
     "[S]\r\na=x\nb=y\rc=z\r\n"},
    {"CrOnlyFile",
     "[S]\rk=v\r",
     {Set(u"S", u"k2", u"v2"), Set(u"T", u"k", u"v")},
     "[S]\rk=v\rk2=v2\r[T]\rk=v\r"},
    {"LfAfterCrLfFirstLine", "[S]\r\nk=v\n", {Set(u"T", u"k", u"v")}, "[S]\r\nk=v\n[T]\r\nk=v\r\n"},
    // Values that would not read back as given are quoted.
    {"BlanksQuoted", "", {Set(u"S", u"k", u" v\t")}, "[S]\nk=\" v\t\"\n"},
    {"QuotePairQuoted", "", {Set(u"S", u"k", u"\"q\"")}, "[S]\nk=\"\"q\"\"\n"},
    {"SingleQuotePairQuoted", "", {Set(u"S", u"k", u"'v'")}, "[S]\nk=\"'v'\"\n"},
    {"MismatchedQuotesAsGiven", "", {Set(u"S", u"k", u"\"v'")}, "[S]\nk=\"v'\n"},
    {"InnerBlanksAsGiven", "", {Set(u"S", u"k", u"a b;c=d")}, "[S]\nk=a b;c=d\n"},
    {"EmptyValue", "[S]\nk=v\n", {Set(u"S", u"k", u"")}, "[S]\nk=\n"},
    // Deletes.
    {"DeleteKeyKeepsHeader",
     "[App3]\r\nkey5=string5\r\n",
     {DeleteKey(u"App3", u"key5")},
     "[App3]\r\n"},
    {"DeleteFirstDuplicateKey", "[S]\nk=1\nk=2\n", {DeleteKey(u"S", u"K")}, "[S]\nk=2\n"},
    {"DeleteLastLineWithoutEnd", "[S]\na=1\nb=2", {DeleteKey(u"S", u"b")}, "[S]\na=1\n"},
    {"DeleteMissingKey",
     "[S]\na=1\n",
     {DeleteKey(u"S", u"b"), DeleteKey(u"T", u"a")},
     "[S]\na=1\n"},
    {"DeleteTextLineIsNoKey", "[S]\nname3\n", {DeleteKey(u"S", u"name3")}, "[S]\nname3\n"},
    {"DeleteSectionsKeepsComments",
     ";c0\r\n[S]\r\n;c1\r\n[S2]\r\n;c2\r\n",
     {DeleteSection(u"S"), DeleteSection(u"S2")},
     ";c0\r\n;c1\r\n;c2\r\n"},
    {"DeleteSectionKeepsBlankLines",
     "[A]\na=1\n\n[B]\nb=1\nname3\n\n;c\n[C]\nc=1\n",
     {DeleteSection(u"b")},
     "[A]\na=1\n\n\n;c\n[C]\nc=1\n"},
    {"DeleteFirstDuplicateSection",
     "[S]\na=1\n[T]\n[S]\nb=2\n",
     {DeleteSection(u"S"), Set(u"S", u"c", u"3")},
     "[T]\n[S]\nb=2\nc=3\n"},
    {"DeleteLastSectionWithoutEnd", "[A]\na=1\n[B]\nb=1", {DeleteSection(u"B")}, "[A]\na=1\n"},
    {"DeleteThenRecreateSection",
     "[A]\na=1\n[B]\nb=1\n",
     {DeleteSection(u"A"), Set(u"A", u"a", u"2"), Set(u"B", u"c", u"3")},
     "[B]\nb=1\nc=3\n[A]\na=2\n"},
    {"DeleteMissingSection", "k=v\n[S]\n", {DeleteSection(u"k")}, "k=v\n[S]\n"},
    // Refusals leave the file alone.
    {"LineBreakInValueRefused",
     "[S]\r\n",
     {Set(u"S", u"k", u"x\r\n[Admin]\r\nallow=1")},
     "[S]\r\n",
     Status::kInvalidParameter},
    {"LoneLfInValueRefused", "", {Set(u"S", u"k", u"a\nb")}, "", Status::kInvalidParameter},
    {"LineBreakInSectionRefused",
     "",
     {Set(u"sec\r\nkey=value", u"K", u"v")},
     "",
     Status::kInvalidParameter},
    {"BracketInSectionRefused", "", {Set(u"sec][sec2", u"k", u"v")}, "", Status::kInvalidParameter},
    {"EqualsInKeyRefused", "", {Set(u"S", u"a=b", u"v")}, "", Status::kInvalidParameter},
    {"SemicolonKeyRefused", "[S]\n", {Set(u"S", u" ;k", u"v")}, "[S]\n", Status::kInvalidParameter},
    {"BracketKeyRefused", "[S]\n", {Set(u"S", u"[x", u"v")}, "[S]\n", Status::kInvalidParameter},
    {"CrInKeyRefused", "[S]\n", {Set(u"S", u"a\rb", u"v")}, "[S]\n", Status::kInvalidParameter},
    {"LoneSurrogateValueRefused",
     "[S]\n",
     {Set(u"S", u"k", u"a\xD800")},
     "[S]\n",
     Status::kNoUnicodeTranslation},
    {"LoneSurrogateKeyRefused",
     "",
     {Set(u"S", u"\xDC00", u"v")},
     "",
     Status::kNoUnicodeTranslation},
    {"MalformedBeatsBadlyEncoded",
     "",
     {Set(u"a]", u"k", u"\xD800")},
     "",
     Status::kInvalidParameter},
    {"DeleteOfUnwritableKeyRefused",
     "[S]\n;k=v\n",
     {DeleteKey(u"S", u";k")},
     "[S]\n;k=v\n",
     Status::kInvalidParameter},
    {"DeleteOfUnwritableSectionRefused",
     "[a]\n",
     {DeleteSection(u"a]")},
     "[a]\n",
     Status::kInvalidParameter},
};

INSTANTIATE_TEST_SUITE_P(Document, Edit, testing::ValuesIn(kEditCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Values the quoting rule must carry through a write and a read unchanged.
TEST(Document, WrittenValuesReadBackExactly) {
  const std::u16string_view values[] = {
      u" v ",     u"'v'", u"\"v\"", u"\"\"", u"''",  u"\"",    u"'",    u"\"v'",
      u" \"v\" ", u"\t",  u"a=b",   u";x",   u"[x]", u"\v\"x", u"\0"sv, u"",
  };
  Document document;
  for (const std::u16string_view value : values) {
    ASSERT_EQ(document.SetValue(u"S", u"k", value), Status::kOk);
    EXPECT_EQ(Document::FromBytes(document.ToBytes()).FindValue(u"S", u"k"), value);
  }
}

// Long runs of edits on one document, each checked against a fresh parse of
// its bytes: the index moved in place must stay what a parse builds.
TEST(Document, ManyEditsKeepTheIndexInStepWithTheText) {
  const std::u16string_view sections[] = {u"A", u"b", u"\u00C4", u"", u"B"};
  const std::u16string_view keys[] = {u"k", u"K", u"x", u"", u"long key name", u"\u00E4"};
  std::mt19937 random(7);
  Document document = Document::FromBytes("; head\r\n[A]\r\nk=1\r\n[b]\r\n;c\r\n\r\n[A]\r\nx=2");
  for (int step = 0; step < 1500; ++step) {
    const std::u16string_view section = sections[random() % std::size(sections)];
    const std::u16string_view key = keys[random() % std::size(keys)];
    const std::u16string value = u"v" + std::u16string(random() % 3, u' ') + u"\"";
    const int kind = random() % 10;
    const Status status = kind < 6   ? document.SetValue(section, key, value)
                          : kind < 9 ? document.DeleteKey(section, key)
                                     : document.DeleteSection(section);
    ASSERT_EQ(status, Status::kOk);
    const Document reparsed = Document::FromBytes(document.ToBytes());
    for (const std::u16string_view s : sections) {
      ASSERT_EQ(Entries(document, s), Entries(reparsed, s)) << step;
      for (const std::u16string_view k : keys) {
        ASSERT_EQ(document.FindValue(s, k), reparsed.FindValue(s, k)) << step;
      }
    }
  }
}

// Removals patch the index in place: every key, and every duplicate that a
// removal makes the first of its name, must stay findable as a fresh parse
// finds it, however the removed keys sat in the hash table's probe runs.
std::u16string Digits(int number) {
  const std::string text = std::to_string(number);
  return std::u16string(text.begin(), text.end());
}

TEST(Document, RemovingManyKeysKeepsEveryOtherFindable) {
  std::string text = "[S]\n";
  for (int i = 0; i < 300; ++i) text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  for (int i = 0; i < 300; i += 3)
    text += "K" + std::to_string(i) + "=dup" + std::to_string(i) + "\n";
  text += "[T]\nk1=t\n";
  Document document = Document::FromBytes(text);
  std::vector<int> order(300);
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), std::mt19937(11));
  for (size_t step = 0; step < order.size(); ++step) {
    const std::u16string key = u"k" + Digits(order[step]);
    ASSERT_EQ(document.DeleteKey(u"S", key), Status::kOk);
    const Document reparsed = Document::FromBytes(document.ToBytes());
    for (int i = 0; i < 300; ++i) {
      const std::u16string probe = u"K" + Digits(i);
      ASSERT_EQ(document.FindValue(u"S", probe), reparsed.FindValue(u"S", probe)) << step;
    }
    ASSERT_EQ(document.FindValue(u"T", u"k1"), u"t");
  }
}

TEST(Document, CopyIsIndependentOfTheOriginal) {
  const Document original = Document::FromBytes("[S]\nk=1\n");
  Document copy = original;
  ASSERT_EQ(copy.SetValue(u"S", u"k", u"2"), Status::kOk);
  ASSERT_EQ(copy.SetValue(u"T", u"k", u"3"), Status::kOk);
  EXPECT_EQ(original.FindValue(u"S", u"k"), u"1");
  EXPECT_FALSE(HasSection(original, u"T"));
  EXPECT_FALSE(original.changed());
  EXPECT_EQ(copy.FindValue(u"S", u"k"), u"2");
}

}  // namespace
}  // namespace orx::platform::ini
