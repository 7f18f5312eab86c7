// An ASCII file is kept as its own bytes until its first edit. Each file
// below is read twice: as it is, and as the same text behind a UTF-16 LE BOM,
// which the document keeps as UTF-16. Lookups, section lists, serialisation
// and edits must give the same results from both, and the bytes of the ASCII
// document must be the file's wherever an edit did not reach.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/ini/document.h"
#include "platform/ini/serialisation_match.h"

namespace orx::platform::ini {
namespace {

using namespace std::string_view_literals;

std::string Utf16LeOf(std::string_view ascii) {
  std::string bytes = "\xFF\xFE";
  for (const char byte : ascii) (bytes += byte) += '\0';
  return bytes;
}

// "key=raw" or bare text per entry, '|' between them; "<none>" for a missing
// section.
std::u16string Listed(const Document& document, std::u16string_view section) {
  std::u16string listed;
  const bool found = document.ForEachEntry(section, [&](const SectionEntry& entry) {
    entry.key.AppendTo(listed);
    if (entry.has_equals) entry.raw_value.AppendTo(listed += u'=');
    listed += u'|';
    return true;
  });
  return found ? listed : u"<none>";
}

struct File {
  const char* name;
  std::string_view bytes;
};

// Line ends of every kind and mixed, no final line end, blanks and quotes,
// names longer than a hash word and lines longer than a scanning block.
const File kFiles[] = {
    {"Lf", "[S]\nk=v\nother=2\n"},
    {"Crlf", "[S]\r\nk=v\r\nother=2\r\n"},
    {"Cr", "[S]\rk=v\rother=2\r"},
    {"Mixed", "[S]\r\nk=v\rother=2\n\r\n[T]\rk=w"},
    {"NoFinalLineEnd", "[S]\nk=v\nother=2"},
    {"Blanks", "  [ S ]  \n\t k \v=  v  \n other = \" 2 \" \n"},
    {"Quotes", "[S]\nk='v'\nother=\"2\nthird=\"\"\n"},
    {"TextAndComments", "; top\n[S]\n;k=hidden\nbare line\nk=v\n\n[T]\n=x\n"},
    {"RepeatedNames", "[S]\nk=first\nK=second\n[s]\nk=third\nother=2\n"},
    {"LongLines",
     "[A section name longer than sixteen]\n"
     "a key name longer than sixteen units = a value longer than the sixteen bytes of a block\n"
     "k=v\n"},
    {"Empty", ""},
    {"OnlyLineEnds", "\n\r\n\r"},
    {"KeysBeforeAnySection", "k=v\n[S]\nk=w\n"},
};

// Names asked for, spelled as callers might: other case, blanks, and 'ı'
// (U+0131), whose upper case is ASCII 'I'.
const std::u16string_view kSections[] = {
    u"S", u"s", u" S\t", u"T", u"t", u"missing", u"", u"A SECTION NAME LONGER THAN SIXTEEN",
};
const std::u16string_view kKeys[] = {
    u"k",
    u"K",
    u" k ",
    u"other",
    u"OTHER",
    u"third",
    u"missing",
    u"",
    u"bare line",
    u"a key name longer than sixteen units",
    u"A KEY NAME LONGER THAN SIXTEEN UNITS",
};

TEST(AsciiDocument, ReadsAsTheSameTextInUtf16Does) {
  for (const File& file : kFiles) {
    SCOPED_TRACE(file.name);
    const Document ascii = Document::FromBytes(file.bytes);
    const Document wide = Document::FromBytes(Utf16LeOf(file.bytes));
    for (const std::u16string_view section : kSections) {
      EXPECT_EQ(Listed(ascii, section), Listed(wide, section)) << std::string(1, section[0]);
      for (const std::u16string_view key : kKeys) {
        const std::optional<TextView> value = ascii.FindValue(section, key);
        EXPECT_EQ(value, wide.FindValue(section, key));
        if (value) {
          EXPECT_FALSE(value->wide());
        }
      }
    }
  }
}

TEST(AsciiDocument, SerialisesToItsOwnBytes) {
  for (const File& file : kFiles) {
    SCOPED_TRACE(file.name);
    const std::string bytes(file.bytes);
    const Document ascii = Document::FromBytes(bytes);
    EXPECT_EQ(ascii.ToBytes(), bytes);
    EXPECT_TRUE(ascii.SerialisesTo(bytes));
    EXPECT_EQ(Document::FromOwnedBytes(bytes).ToBytes(), bytes);
    EXPECT_FALSE(ascii.SerialisesTo(bytes + "x"));
    EXPECT_FALSE(ascii.SerialisesTo(Utf16LeOf(bytes)));
    if (!bytes.empty()) {
      EXPECT_FALSE(ascii.SerialisesTo(bytes.substr(0, bytes.size() - 1)));
      std::string last_changed = bytes;
      last_changed.back() ^= 0x20;
      EXPECT_FALSE(ascii.SerialisesTo(last_changed));
      std::string first_changed = bytes;
      first_changed.front() ^= 0x01;
      EXPECT_FALSE(ascii.SerialisesTo(first_changed));
    }
  }
}

TEST(AsciiDocument, ChunkedSerialisationGivesTheBytesInOrder) {
  for (const std::string_view bytes :
       {"[S]\nk=v\nlonger=line of text\n"sv, "\xEF\xBB\xBF[S]\r\nk=v\r\n"sv, ""sv}) {
    const Document document = Document::FromBytes(bytes);
    for (const size_t chunk : {size_t{1}, size_t{3}, size_t{1000}}) {
      SerialisationReader reader(document, chunk);
      std::string joined;
      for (std::string_view piece = reader.Next(); !piece.empty(); piece = reader.Next()) {
        EXPECT_LE(piece.size(), std::max<size_t>(chunk, 3));  // a BOM comes whole
        joined += piece;
      }
      EXPECT_FALSE(reader.failed());
      EXPECT_EQ(joined, bytes) << chunk;
      SerialisationMatcher matcher(document, chunk);
      for (const char byte : bytes) ASSERT_TRUE(matcher.Feed(std::string_view(&byte, 1)));
      EXPECT_TRUE(matcher.Matched());
    }
  }
}

struct Edit {
  const char* name;
  // Applies one edit to a document; both forms get the same.
  Status (*apply)(Document&);
};

const Edit kEdits[] = {
    {"ReplaceValue", [](Document& d) { return d.SetValue(u"S", u"k", u"new value"); }},
    {"AddKey", [](Document& d) { return d.SetValue(u"s", u"added", u" blanks kept "); }},
    {"AddSection", [](Document& d) { return d.SetValue(u"New", u"n", u"1"); }},
    {"DeleteKey", [](Document& d) { return d.DeleteKey(u"S", u"OTHER"); }},
    {"DeleteSection", [](Document& d) { return d.DeleteSection(u"S"); }},
    {"NonAscii", [](Document& d) { return d.SetValue(u"S", u"k", u"caf\u00E9 \U0001F600"); }},
    {"Batch",
     [](Document& d) {
       const KeyEdit edits[] = {{u"k", u"1"}, {u"other", std::nullopt}, {u"x", u"y"}};
       return d.ApplyToSection(u"S", edits);
     }},
    {"Refused", [](Document& d) { return d.SetValue(u"S", u"a=b", u"v"); }},
};

TEST(AsciiDocument, EditsGiveTheSameTextAsInUtf16) {
  for (const File& file : kFiles) {
    for (const Edit& edit : kEdits) {
      SCOPED_TRACE(std::string(file.name) + "/" + edit.name);
      Document ascii = Document::FromBytes(file.bytes);
      Document wide = Document::FromBytes(Utf16LeOf(file.bytes));
      // Reads first: the edit must not be confused by what they left behind.
      (void)ascii.FindValue(u"S", u"k");
      ASSERT_EQ(edit.apply(ascii), edit.apply(wide));
      EXPECT_EQ(ascii.changed(), wide.changed());
      const std::string bytes = ascii.ToBytes();
      EXPECT_EQ(Decode(bytes).text, Decode(wide.ToBytes()).text);
      EXPECT_EQ(Document::FromBytes(bytes).ToBytes(), bytes);
      EXPECT_TRUE(ascii.SerialisesTo(bytes));
      for (const std::u16string_view section : kSections) {
        EXPECT_EQ(Listed(ascii, section), Listed(wide, section));
        for (const std::u16string_view key : kKeys) {
          EXPECT_EQ(ascii.FindValue(section, key), wide.FindValue(section, key));
        }
      }
    }
  }
}

TEST(AsciiDocument, AnEditKeepsTheBytesItDoesNotReach) {
  const std::string file = "; note\r\n[S]\r\nk=v\r\n  spaced = \"q\" \r\n[T]\rx=1\n";
  Document document = Document::FromBytes(file);
  const std::optional<TextView> before = document.FindValue(u"T", u"x");
  ASSERT_TRUE(before.has_value());
  EXPECT_FALSE(before->wide());
  ASSERT_EQ(document.SetValue(u"S", u"k", u"longer"), Status::kOk);
  EXPECT_EQ(document.ToBytes(), "; note\r\n[S]\r\nk=longer\r\n  spaced = \"q\" \r\n[T]\rx=1\n");
  const std::optional<TextView> after = document.FindValue(u"T", u"x");
  ASSERT_TRUE(after.has_value());
  EXPECT_FALSE(after->wide());  // ASCII put into ASCII keeps the bytes
  EXPECT_EQ(*after, u"1");
  EXPECT_EQ(document.FindValue(u"s", u"SPACED"), u"q");
  // Edits that add, remove and append lines keep them too.
  ASSERT_EQ(document.SetValue(u"S", u"added", u"2"), Status::kOk);
  ASSERT_EQ(document.DeleteKey(u"S", u"spaced"), Status::kOk);
  ASSERT_EQ(document.SetValue(u"New", u"n", u"3"), Status::kOk);
  EXPECT_FALSE(document.FindValue(u"T", u"x")->wide());
  EXPECT_EQ(document.ToBytes(),
            "; note\r\n[S]\r\nk=longer\r\nadded=2\r\n[T]\rx=1\n[New]\r\nn=3\r\n");
  // A character past ASCII widens the text; every byte stays as it was.
  ASSERT_EQ(document.SetValue(u"T", u"x", u"\u00e9"), Status::kOk);
  const std::optional<TextView> widened = document.FindValue(u"T", u"x");
  ASSERT_TRUE(widened.has_value());
  EXPECT_TRUE(widened->wide());
  EXPECT_EQ(*widened, u"\u00e9");
  EXPECT_EQ(document.ToBytes(),
            "; note\r\n[S]\r\nk=longer\r\nadded=2\r\n[T]\rx=\xC3\xA9\n[New]\r\nn=3\r\n");
}

TEST(AsciiDocument, AnEditThatChangesNothingKeepsTheBytes) {
  const std::string file = "[S]\nk=v\n";
  Document document = Document::FromBytes(file);
  const size_t memory = document.MemoryUsage();
  EXPECT_EQ(document.SetValue(u"S", u"k", u"v"), Status::kOk);
  EXPECT_EQ(document.DeleteKey(u"S", u"missing"), Status::kOk);
  EXPECT_EQ(document.DeleteSection(u"missing"), Status::kOk);
  EXPECT_EQ(document.SetValue(u"S", u"a]", u"v"), Status::kOk);  // ']' is fine in a key
  EXPECT_TRUE(document.changed());
  Document unchanged = Document::FromBytes(file);
  EXPECT_EQ(unchanged.SetValue(u"S", u"K", u"v"), Status::kOk);
  EXPECT_EQ(unchanged.SetValue(u"S", u"k", u"a\nb"), Status::kInvalidParameter);
  EXPECT_FALSE(unchanged.changed());
  EXPECT_EQ(unchanged.MemoryUsage(), memory);
  EXPECT_FALSE(unchanged.FindValue(u"S", u"k")->wide());
}

TEST(AsciiDocument, OnlyPureAsciiAfterNoBomOrTheUtf8BomStaysBytes) {
  struct Case {
    const char* name;
    std::string bytes;
    bool kept_as_bytes;
    Encoding encoding;
  };
  const std::string ascii = "[S]\nname=value\n";
  const Case cases[] = {
      {"Ascii", ascii, true, Encoding::kUtf8},
      {"Utf8Bom", "\xEF\xBB\xBF" + ascii, true, Encoding::kUtf8Bom},
      {"HighByteFirst", ";\xE9\n" + ascii, false, Encoding::kWindows1252},
      {"HighByteLast", ascii + "\xE9", false, Encoding::kWindows1252},
      {"Utf8InAName", "[S]\nn\xC3\xA4me=value\n", false, Encoding::kUtf8},
      {"Utf8BomThenHighByte", "\xEF\xBB\xBF" + ascii + "\xC3\xA4", false, Encoding::kUtf8Bom},
      {"Utf16Le", Utf16LeOf(ascii), false, Encoding::kUtf16Le},
      // The high byte sits past the first blocks the check reads at once.
      {"HighByteDeepIn", std::string(100, ' ') + ascii + "\x80" + std::string(70, ' '), false,
       Encoding::kWindows1252},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Document document = Document::FromBytes(c.bytes);
    EXPECT_EQ(document.encoding(), c.encoding);
    EXPECT_EQ(document.ToBytes(), c.bytes);
    EXPECT_TRUE(document.SerialisesTo(c.bytes));
    const std::optional<TextView> value = document.FindValue(u"S", u"name");
    if (std::string_view(c.name) == "Utf8InAName") {
      EXPECT_EQ(document.FindValue(u"S", u"n\u00E4me"), u"value");
      continue;
    }
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, u"value");
    EXPECT_EQ(value->wide(), !c.kept_as_bytes);
  }
}

TEST(AsciiDocument, TheUtf8BomStaysThroughAnEdit) {
  Document document = Document::FromBytes("\xEF\xBB\xBF[S]\r\nk=v\r\n");
  ASSERT_EQ(document.SetValue(u"S", u"n", u"2"), Status::kOk);
  EXPECT_EQ(document.encoding(), Encoding::kUtf8Bom);
  EXPECT_EQ(document.ToBytes(), "\xEF\xBB\xBF[S]\r\nk=v\r\nn=2\r\n");
}

TEST(AsciiDocument, RulesThatNeverGuessUtf8KeepTheirEncodingDecisions) {
  static const EncodingRules kNeverGuess{Windows1252Codec(), false, Encoding::kWindows1252, u"\r\n",
                                         Encoding::kUtf16Le};
  Document document = Document::FromBytes("[S]\r\nk=v\r\n", kNeverGuess);
  EXPECT_EQ(document.encoding(), Encoding::kWindows1252);
  EXPECT_FALSE(document.FindValue(u"S", u"k")->wide());
  ASSERT_EQ(document.SetValue(u"S", u"k", u"\u00E9"), Status::kOk);
  EXPECT_EQ(document.ToBytes(), "[S]\r\nk=\xE9\r\n");
  ASSERT_EQ(document.SetValue(u"S", u"k", u"\u65E5"), Status::kOk);  // beyond the code page
  EXPECT_EQ(document.encoding(), Encoding::kUtf16Le);
}

TEST(AsciiDocument, NamesFoldAsTheirUnitsDoWhateverTheForm) {
  // U+0131 and U+017F fold to ASCII 'I' and 'S'; the index must find the
  // ASCII names under them in either form, and the hashes must agree.
  const std::string file = "[is]\nkis=1\n";
  const Document ascii = Document::FromBytes(file);
  const Document wide = Document::FromBytes(Utf16LeOf(file));
  for (const Document* document : {&ascii, &wide}) {
    EXPECT_EQ(document->FindValue(u"\u0131\u017F", u"K\u0131S"), u"1");
    EXPECT_EQ(document->FindValue(u"IS", u"kIs"), u"1");
    EXPECT_FALSE(document->FindValue(u"i", u"kis"));
  }
}

TEST(AsciiDocument, HoldsAboutHalfTheTextOfItsUtf16Form) {
  std::string file = "[S]\n";
  for (int i = 0; i < 5000; ++i) file += "a longer key " + std::to_string(i) + "=some value\n";
  const size_t ascii = Document::FromBytes(file).MemoryUsage();
  const size_t wide = Document::FromBytes(Utf16LeOf(file)).MemoryUsage();
  EXPECT_GE(ascii, file.size());
  EXPECT_LE(ascii + file.size() * 9 / 10, wide);
  EXPECT_EQ(Document::FromOwnedBytes(file).MemoryUsage(), ascii);
}

}  // namespace
}  // namespace orx::platform::ini
