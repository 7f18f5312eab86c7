// How a document reads files: line ends, blanks, headers, comments, entries,
// duplicates, quotes and case, each as "file text, names asked, value".
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini/document.h"
#include "platform/ini/entries.h"

namespace orx::platform::ini {
namespace {

using namespace std::string_view_literals;

struct LookupCase {
  const char* name;
  std::string_view file;
  std::u16string_view section;
  std::u16string_view key;
  std::optional<std::u16string_view> value;  // nullopt: not found
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }

class Lookup : public testing::TestWithParam<LookupCase> {};

TEST_P(Lookup, FindsTheValueAProfileReadReturns) {
  const LookupCase& c = GetParam();
  const Document document = Document::FromBytes(c.file);
  EXPECT_EQ(document.FindValue(c.section, c.key), c.value);
}

const LookupCase kLookupCases[] = {
    {"CrOnlyLineEnds", "[section1]\rname1=val1\r", u"section1", u"name1", u"val1"},
    {"LfOnlyLineEnds", "[section1]\nname1=val1\n", u"section1", u"name1", u"val1"},
    {"CrLfRunsAreBlankLines", "[S]\r\n\r\n\r\r\n\nk=v", u"S", u"k", u"v"},
    {"BlanksAroundEverything", " \t[ x ]\r\n\tk\v=\v v \r\n", u"x", u"k", u"v"},
    {"HeaderEndsAtFirstBracket", "[sec]whoops]\r\nk=v", u"sec", u"k", u"v"},
    {"TextAfterBracketIsNoName", "[sec]whoops]\r\nk=v", u"sec]whoops", u"k", std::nullopt},
    {"HeaderWithoutBracket", "[Sec   \r\nk=v", u"Sec", u"k", u"v"},
    {"EntryAfterBracketIsLost", "[Sec]k=v\r\n", u"Sec", u"k", std::nullopt},
    {"BracketNotFirstIsNoHeader", "Sec]\r\nk=v", u"Sec", u"k", std::nullopt},
    {"OpeningBracketInName", "[[sec]\r\nk=v", u"[sec", u"k", u"v"},
    {"IndentedCommentIsNoEntry", "[S]\r\n ;k=v\r\nk2=v2\r\n", u"S", u"k", std::nullopt},
    {"CommentNotReadableWithSemicolon", "[S]\r\n;k=v\r\n", u"S", u";k", std::nullopt},
    {"HashLineIsAnEntry", "[S]\r\n#h=1\r\n", u"S", u"#h", u"1"},
    {"SemicolonInValueIsData", "[S]\r\nk=diet   ;gag", u"S", u"k", u"diet   ;gag"},
    {"SemicolonStartingValue", "[S]\r\nk=;x", u"S", u"k", u";x"},
    {"SplitAtFirstEquals", "[S]\r\nk = a=b \r\n", u"S", u"k", u"a=b"},
    {"LineWithoutEqualsIsNoKey", "[s]\r\nname3\r\n", u"s", u"name3", std::nullopt},
    {"KeyAfterLineWithoutEquals", "[s]\r\nk\r\nk=v\r\n", u"s", u"k", u"v"},
    {"LinesBeforeFirstHeaderHidden", "k=v\r\n[S]\r\nk2=v2\r\n", u"", u"k", std::nullopt},
    {"EmptySectionIsReal", "\r\nkey=no_section\r\n[]\r\nkey=e_section\r\n", u"", u"key",
     u"e_section"},
    {"EmptyKeyName", "[s]\r\n=val_no_key\r\n", u"s", u"", u"val_no_key"},
    {"LaterDuplicateSectionHidden", "[S]\r\n[S]\r\nk=v", u"S", u"k", std::nullopt},
    {"FirstDuplicateKeyWins", "[S]\r\nk=1\r\nk2=2\r\nk=3", u"S", u"k", u"1"},
    {"SectionAndKeyIgnoreCase", "[SectionName]\r\nTestKey=TestValue", u"SECTIONNAME", u"testkey",
     u"TestValue"},
    {"CallerSpacesTrimmed", "[S]\r\nk=v", u" S ", u" k ", u"v"},
    {"CallerTabAndVtTrimmed", "[S]\r\nk=v", u"\tS", u"k\v", u"v"},
    {"QuotesInNamesAreLiteral", "['S']\r\n'k'=v", u"'S'", u"'k'", u"v"},
    {"QuotedNamesDoNotMatchBare", "['S']\r\n'k'=v", u"S", u"k", std::nullopt},
    {"ValueBlanksTrimmed", "[S]\r\nk=\t v \v", u"S", u"k", u"v"},
    {"QuotePairKeepsInnerBlanks", "[S]\r\nk=  \"  v  \"  ", u"S", u"k", u"  v  "},
    {"SingleQuotesAroundDouble", "[S]\r\nk='\"v\"'", u"S", u"k", u"\"v\""},
    {"DoubledQuotesKeepOneLayer", "[S]\r\nk=\"\"v\"\"", u"S", u"k", u"\"v\""},
    {"MismatchedQuotesKept", "[S]\r\nk=\"v'", u"S", u"k", u"\"v'"},
    {"InterleavedQuotesKept", "[S]\r\nk='\"v'\"", u"S", u"k", u"'\"v'\""},
    {"EmptyQuotePair", "[S]\r\nk=\"\"", u"S", u"k", u""},
    {"LoneQuote", "[S]\r\nk='", u"S", u"k", u"'"},
    {"EmptyValueIsNotMissing", "[S]\r\nk=", u"S", u"k", u""},
    {"NulInsideValue", "[S]\nk=a\0b\n"sv, u"S", u"k", u"a\0b"sv},
    {"Latin1Case",
     "[Gr\xC3\xB6\xC3\x9F"
     "e]\n\xC3\xA4pfel=1\n",
     u"GR\u00D6\u00DFE", u"\u00C4PFEL", u"1"},
    {"GreekCase", "[\xCF\x83\xCF\x87\xCE\xAE\xCE\xBC\xCE\xB1]\nk=1\n",
     u"\u03A3\u03A7\u0389\u039C\u0391", u"K", u"1"},
    {"CyrillicCase", "[\xD1\x80\xD0\xB0\xD0\xB7\xD0\xB4\xD0\xB5\xD0\xBB]\nk=1\n",
     u"\u0420\u0410\u0417\u0414\u0415\u041B", u"k", u"1"},
    {"Utf8BomDoesNotHideFirstSection", "\xEF\xBB\xBF[S]\r\nk=v\r\n", u"S", u"k", u"v"},
    {"Windows1252Value", "[S]\r\nk=caf\xE9 \x80\r\n", u"S", u"k", u"caf\u00E9 \u20AC"},
    {"Utf16LeFile", "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0"sv, u"S", u"k", u"v"},
    {"Utf16BeFile", "\xFE\xFF\0[\0S\0]\0\n\0k\0=\0v"sv, u"S", u"k", u"v"},
};

INSTANTIATE_TEST_SUITE_P(Document, Lookup, testing::ValuesIn(kLookupCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The entries of a section as "key=raw" or bare text, joined by '|'.
std::u16string ListEntries(const Document& document, std::u16string_view section) {
  std::u16string listed;
  const bool found = document.ForEachEntry(section, [&](const SectionEntry& entry) {
    if (!listed.empty()) listed += u'|';
    entry.key.AppendTo(listed);
    if (entry.has_equals) entry.raw_value.AppendTo(listed += u'=');
    return true;
  });
  return found ? listed : u"<missing>";
}

struct SectionCase {
  const char* name;
  std::string_view file;
  std::u16string_view section;
  std::u16string_view entries;
};

void PrintTo(const SectionCase& c, std::ostream* os) { *os << c.name; }

class SectionRead : public testing::TestWithParam<SectionCase> {};

TEST_P(SectionRead, ListsEntriesInFileOrder) {
  const SectionCase& c = GetParam();
  EXPECT_EQ(ListEntries(Document::FromBytes(c.file), c.section), c.entries);
}

const SectionCase kSectionCases[] = {
    {"AllEntryForms", "[section1]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n[section2]\r\n",
     u"section1", u"name1=val1|name2=|name3|name4=val4"},
    {"CommentsAndBlanksLeftOut", "[S]\r\n;c\r\n\r\nk=v\r\n", u"S", u"k=v"},
    {"HashLinesListed", "[S]\r\n ;k=v\r\nk2=v2\r\n#h=1\r\n", u"S", u"k2=v2|#h=1"},
    {"ValuesRawWithQuotes", "[S]\r\nsignature=\"$CHICAGO$\"\r\n", u"S", u"signature=\"$CHICAGO$\""},
    {"BlanksAroundEqualsTrimmed", "[S]\r\n  k = v \r\n", u"S", u"k=v"},
    {"EveryDuplicateKey", "[S]\r\nk=1\r\nk2=2\r\nk=3", u"S", u"k=1|k2=2|k=3"},
    {"EmptyKeyName", "[s]\r\n=val5\r\n", u"s", u"=val5"},
    {"FirstOfDuplicateSections", "[A]\na=1\n[B]\nb=1\n[a]\nc=1\n", u"A", u"a=1"},
    {"EmptySection", "[section2]\r\n[x]\r\nk=v\r\n", u"section2", u""},
    {"MissingSection", "[S]\r\nk=v\r\n", u"T", u"<missing>"},
    {"NothingBeforeFirstHeader", "k=v\r\n[S]\r\n", u"", u"<missing>"},
};

INSTANTIATE_TEST_SUITE_P(Document, SectionRead, testing::ValuesIn(kSectionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Document, SectionVisitStopsWhenAsked) {
  const Document document = Document::FromBytes("[S]\na=1\nb=2\nc=3\n");
  std::vector<std::u16string> keys;
  document.ForEachEntry(u"s", [&](const SectionEntry& entry) {
    keys.push_back(entry.key.ToU16());
    return keys.size() < 2;
  });
  EXPECT_EQ(keys, (std::vector<std::u16string>{u"a", u"b"}));
}

TEST(Document, SectionReadSeesEmptyAndBracketlessHeaders) {
  const Document document = Document::FromBytes("k=v\n[]\n[Open\n");
  EXPECT_TRUE(HasSection(document, u""));
  EXPECT_TRUE(HasSection(document, u" open "));
  EXPECT_FALSE(HasSection(document, u"k"));
}

std::u16string ToU16(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

// Many sections repeating the same key names: the parse hashes a repeated
// name once, so names that share their length and their first, middle and
// last units, or differ only in case or blanks, must still each be found.
TEST(Document, FindsEveryKeyOfSectionsThatRepeatTheirNames) {
  const char* const kKeys[] = {"aXcYe", "aZcWe", "AXCYE ", " aXcYe", "ab", "a", ""};
  std::string file;
  constexpr int kSections = 300;
  for (int section = 0; section < kSections; ++section) {
    file += "[S" + std::to_string(section) + "]\r\n";
    for (size_t key = 0; key < std::size(kKeys); ++key) {
      file += std::string(kKeys[key]) + "=" + std::to_string(section * 10 + key) + "\r\n";
    }
  }
  const Document document = Document::FromBytes(file);
  // The first of the names equal without case and blanks wins; the others
  // are never found.
  const struct {
    std::u16string_view key;
    int offset;
  } kFound[] = {{u"aXcYe", 0}, {u"AZCWE", 1}, {u" axcye", 0}, {u"ab", 4}, {u"A", 5}, {u"", 6}};
  for (int section = 0; section < kSections; section += 37) {
    const std::u16string name = u"s" + ToU16(std::to_string(section));
    for (const auto& found : kFound) {
      EXPECT_EQ(document.FindValue(name, found.key),
                ToU16(std::to_string(section * 10 + found.offset)))
          << section;
    }
    EXPECT_EQ(document.FindValue(name, u"aXcY"), std::nullopt);
  }
}

TEST(Document, ReadFormTrimsThenTakesOffOneQuotePair) {
  EXPECT_EQ(ReadForm(u" \"'v'\" "), u"'v'");
  EXPECT_EQ(ReadForm(u"\""), u"\"");
  EXPECT_EQ(ReadForm(u"\v\t"), u"");
}

}  // namespace
}  // namespace orx::platform::ini
