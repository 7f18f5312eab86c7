// Batches of key edits on one section against the same edits one by one:
// random files and random edit lists must give the same bytes, the same
// "changed" answer and the same lookups; a refused batch changes nothing.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini/document.h"
#include "platform/ini/entries.h"

namespace orx::platform::ini {
namespace {

using namespace std::string_view_literals;

// Names and values that collide in case, need trimming or quoting, or are
// beyond ASCII (U+0100 has no Windows-1252 byte).
const std::u16string_view kSections[] = {u"S", u"s", u" S ", u"T", u"", u"\u00C4", u"new"};
const std::u16string_view kKeys[] = {u"k", u"K", u" k ", u"x", u"", u"a b", u"\u00E4", u"Task1"};
const std::u16string_view kValues[] = {u"v",   u"1",   u"",       u" v ",    u"\"q\"",
                                       u"'v'", u"a=b", u"\u00E9", u"\u0100", u"x\"y"};
const char* const kLineEnds[] = {"\n", "\r", "\r\n"};

std::string Utf8(std::u16string_view text) {
  std::string out;
  for (const char16_t unit : text) {
    if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (unit < 0x800) {
      out += static_cast<char>(0xC0 | (unit >> 6));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (unit >> 12));
      out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return out;
}

template <typename T, size_t N>
const T& Pick(std::mt19937& random, const T (&items)[N]) {
  return items[random() % N];
}

// A file of headers (several of one name), entries (duplicates, blanks
// around the '='), text lines, comments and blank lines, with line ends of
// every kind and sometimes none on the last line. A stray 0xE9 makes some
// files Windows-1252.
std::string RandomFile(std::mt19937& random) {
  std::string file;
  const int lines = random() % 24;
  const bool mixed_ends = random() % 3 == 0;
  const char* file_end = Pick(random, kLineEnds);
  for (int i = 0; i < lines; ++i) {
    switch (random() % 8) {
      case 0:
      case 1:
        file += "[" + Utf8(Pick(random, kSections)) + "]";
        break;
      case 2:
        file += ";c" + std::to_string(i);
        break;
      case 3:
        file += random() % 2 ? "" : "  ";
        break;
      case 4:
        file += Utf8(Pick(random, kKeys));  // no '=': a text line, no key
        break;
      default:
        file += " " + Utf8(Pick(random, kKeys)) + " = " + Utf8(Pick(random, kValues)) + " ";
        break;
    }
    if (random() % 40 == 0) file += "\xE9";
    if (i + 1 < lines || random() % 2) file += mixed_ends ? Pick(random, kLineEnds) : file_end;
  }
  return file;
}

std::vector<KeyEdit> RandomEdits(std::mt19937& random) {
  std::vector<KeyEdit> edits(random() % 16);
  for (KeyEdit& edit : edits) {
    edit.key = Pick(random, kKeys);
    if (random() % 3) edit.value = Pick(random, kValues);
  }
  return edits;
}

// Every lookup the name lists can make answers alike in both documents.
void ExpectSameLookups(const Document& a, const Document& b) {
  for (const std::u16string_view section : kSections) {
    EXPECT_EQ(HasSection(a, section), HasSection(b, section));
    EXPECT_EQ(Entries(a, section), Entries(b, section));
    for (const std::u16string_view key : kKeys) {
      EXPECT_EQ(a.FindValue(section, key), b.FindValue(section, key));
    }
  }
}

TEST(DocumentBatch, GivesWhatTheEditsGiveOneByOne) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 3000; ++round) {
    const std::string file = RandomFile(random);
    const std::u16string_view section = Pick(random, kSections);
    const std::vector<KeyEdit> edits = RandomEdits(random);
    SCOPED_TRACE(testing::Message()
                 << "round " << round << " file " << testing::PrintToString(file));

    Document single = Document::FromBytes(file);
    for (const KeyEdit& edit : edits) {
      ASSERT_EQ(edit.value ? single.SetValue(section, edit.key, *edit.value)
                           : single.DeleteKey(section, edit.key),
                Status::kOk);
    }
    Document batch = Document::FromBytes(file);
    ASSERT_EQ(batch.ApplyToSection(section, edits), Status::kOk);

    ASSERT_EQ(batch.ToBytes(), single.ToBytes());
    EXPECT_EQ(batch.encoding(), single.encoding());
    EXPECT_EQ(batch.changed(), single.changed());
    ExpectSameLookups(batch, single);
    // The records and the index rebuilt after the splice are those a parse
    // of the bytes gives, so later edits start from a sound document.
    ExpectSameLookups(batch, Document::FromBytes(batch.ToBytes()));
    ASSERT_EQ(batch.SetValue(section, u"after", u"1"), Status::kOk);
    EXPECT_EQ(batch.FindValue(section, u"after"), u"1");
    ExpectSameLookups(batch, Document::FromBytes(batch.ToBytes()));
    if (testing::Test::HasFailure()) return;
  }
}

// A UTF-16 file with an odd last byte keeps it only while unchanged: a batch
// whose edits all leave the text as it was must not drop it.
TEST(DocumentBatch, EditsThatChangeNothingLeaveTheFileAlone) {
  const std::string file(std::string_view("\xFF\xFE[\0S\0]\0\n\0k\0=\0v\0\n\0!", 19));
  Document document = Document::FromBytes(file);
  const KeyEdit edits[] = {{u"k", u"v"}, {u"missing", std::nullopt}, {u"K", u"v"}};
  ASSERT_EQ(document.ApplyToSection(u"S", edits), Status::kOk);
  EXPECT_FALSE(document.changed());
  EXPECT_EQ(document.ToBytes(), file);
  ASSERT_EQ(document.ApplyToSection(u"S", {}), Status::kOk);
  EXPECT_EQ(document.ToBytes(), file);
}

// Thousands of moves in one section, the shape a compaction of a long task
// list takes: each new key after the last, each old one removed.
TEST(DocumentBatch, LongRunOfMovesMatchesSingleEdits) {
  std::string file = "[Other]\nx=1\n[Scanner]\n";
  for (int i = 1; i <= 3000; i += 2)
    file += "Task" + std::to_string(i) + "=id" + std::to_string(i) + "\n";
  file += "; trailing\n[Tail]\ny=2";
  std::vector<std::u16string> names;
  for (int i = 1; i <= 3000; ++i) {
    const std::string name = "Task" + std::to_string(i);
    names.emplace_back(name.begin(), name.end());
  }
  std::vector<KeyEdit> edits;
  for (int from = 3; from <= 3000; from += 2) {
    const int to = (from + 1) / 2;
    edits.push_back({names[to - 1], u"moved"});
    edits.push_back({names[from - 1], std::nullopt});
  }
  Document single = Document::FromBytes(file);
  for (const KeyEdit& edit : edits) {
    ASSERT_EQ(edit.value ? single.SetValue(u"Scanner", edit.key, *edit.value)
                         : single.DeleteKey(u"Scanner", edit.key),
              Status::kOk);
  }
  Document batch = Document::FromBytes(file);
  ASSERT_EQ(batch.ApplyToSection(u"Scanner", edits), Status::kOk);
  EXPECT_EQ(batch.ToBytes(), single.ToBytes());
  // Slots 1 to 1500 end up filled, the rest empty.
  EXPECT_EQ(batch.FindValue(u"Scanner", u"Task1"), u"id1");
  EXPECT_EQ(batch.FindValue(u"Scanner", u"Task1500"), u"moved");
  EXPECT_EQ(batch.FindValue(u"Scanner", u"Task1501"), std::nullopt);
  EXPECT_EQ(batch.FindValue(u"Tail", u"y"), u"2");
}

struct RefusalCase {
  const char* name;
  std::u16string_view section;
  std::vector<KeyEdit> edits;
  Status status;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class BatchRefusal : public testing::TestWithParam<RefusalCase> {};

// The first edit the single calls would refuse decides the status, and the
// edits before it are not applied either.
TEST_P(BatchRefusal, ChangesNothing) {
  const RefusalCase& c = GetParam();
  const std::string file = "[S]\r\nk=1\r\n;c\r\n[T]\r\nt=1";
  Document document = Document::FromBytes(file);
  EXPECT_EQ(document.ApplyToSection(c.section, c.edits), c.status);
  EXPECT_EQ(document.ToBytes(), file);
  EXPECT_FALSE(document.changed());
  EXPECT_EQ(document.FindValue(u"S", u"k"), u"1");
  EXPECT_FALSE(HasSection(document, u"new"));
}

const RefusalCase kRefusals[] = {
    {"LineBreakInLaterValue",
     u"S",
     {{u"k", u"2"}, {u"a", u"x\r\n[Admin]"}},
     Status::kInvalidParameter},
    {"EqualsInKey", u"S", {{u"k", std::nullopt}, {u"a=b", u"v"}}, Status::kInvalidParameter},
    {"SemicolonKeyOfDelete",
     u"S",
     {{u"k", u"2"}, {u" ;k", std::nullopt}},
     Status::kInvalidParameter},
    {"BracketInSection", u"new]", {{u"k", u"v"}}, Status::kInvalidParameter},
    {"SurrogateBeforeMalformed",
     u"new",
     {{u"k", u"2"}, {u"k", u"\xD800"}, {u"[k", u"v"}},
     Status::kNoUnicodeTranslation},
    {"MalformedBeatsSurrogateInOneEdit", u"S", {{u"\xDC00", u"a\nb"}}, Status::kInvalidParameter},
};

INSTANTIATE_TEST_SUITE_P(DocumentBatch, BatchRefusal, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orx::platform::ini
