// The chunked serialisation must give exactly the bytes of ToBytes(), and
// the comparison with it must answer as comparing with ToBytes() would: for every encoding,
// wherever the chunk edges fall (through surrogate pairs too), for candidates fed in any pieces,
// and for bytes that differ anywhere or by length.
#include "platform/ini/serialisation_match.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/ini/document.h"

namespace orx::platform::ini {
namespace {

using namespace std::string_view_literals;

// BOM-less bytes are always the single-byte code page, as on Windows.
const EncodingRules& SingleByteRules() {
  static const EncodingRules kRules{
      .single_byte = Windows1252Codec(),
      .guess_utf8 = false,
      .new_file = Encoding::kWindows1252,
      .new_line_end = u"\r\n",
      .single_byte_fallback = Encoding::kUtf16Le,
  };
  return kRules;
}

struct Case {
  const char* name;
  Document document;
};

std::vector<Case> Documents() {
  std::vector<Case> cases;
  const auto read = [&](const char* name, std::string_view bytes,
                        const EncodingRules& rules = DefaultEncodingRules()) {
    cases.push_back({name, Document::FromBytes(bytes, rules)});
  };
  read("empty", ""sv);
  read("utf8", "[S]\nk=caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80!\n"sv);
  read("utf8 bom only", "\xEF\xBB\xBF"sv);
  read("utf8 bom with stray bytes", "\xEF\xBB\xBF[S]\r\nk=\xFF\xE2\x82x\xF0\x9F\x98\x80\xC3\n"sv);
  read("utf16le pairs", "\xFF\xFE[\0S\0]\0\n\0=\0\x3D\xD8\x00\xDE\x3D\xD8\x01\xDEx\0"sv);
  read("utf16be pairs", "\xFE\xFF\0[\0S\0]\0\n\xD8\x3D\xDE\x00\0a\xD8\x3D\xDE\x01"sv);
  read("utf16le odd byte", "\xFF\xFE[\0S\0]\0\x7F"sv);
  read("utf16 bom and odd byte", "\xFF\xFE\x41"sv);
  read("windows-1252", "[S]\nk=caf\xE9 \x80\x81\n"sv);
  read("single-byte rules, utf-8 bytes", "[S]\r\nk=\xC3\xA9\r\n"sv, SingleByteRules());

  Document edited = Document::FromBytes("\xFF\xFE[\0S\0]\0\x7F"sv);
  EXPECT_EQ(edited.SetValue(u"S", u"k", u"\U0001F600"), Status::kOk);
  cases.push_back({"utf16 edited drops odd byte", std::move(edited)});
  Document moved = Document::FromBytes("[S]\nk=\xE9\n"sv);
  EXPECT_EQ(moved.SetValue(u"S", u"h", u"\u2764"), Status::kOk);
  EXPECT_EQ(moved.encoding(), Encoding::kUtf8Bom);
  cases.push_back({"windows-1252 moved to utf8 bom", std::move(moved)});
  Document fresh(SingleByteRules());
  EXPECT_EQ(fresh.SetValue(u"S", u"k", u"\u00E9"), Status::kOk);
  cases.push_back({"new single-byte document", std::move(fresh)});
  return cases;
}

// The serialisation with one byte changed, cut or added, and the like.
std::vector<std::string> Candidates(const std::string& bytes) {
  std::vector<std::string> candidates = {bytes, "", bytes + "x", bytes + '\0'};
  if (!bytes.empty()) {
    for (const size_t at : {size_t{0}, bytes.size() / 2, bytes.size() - 1}) {
      std::string changed = bytes;
      changed[at] = static_cast<char>(changed[at] ^ 0x01);
      candidates.push_back(changed);
    }
    candidates.push_back(bytes.substr(0, bytes.size() - 1));
    candidates.push_back(bytes.substr(1));
  }
  return candidates;
}

bool MatchInPieces(const Document& document, size_t chunk_units, std::string_view candidate,
                   size_t piece) {
  SerialisationMatcher matcher(document, chunk_units);
  bool fed = true;
  for (size_t at = 0; at < candidate.size(); at += piece) {
    fed = matcher.Feed(candidate.substr(at, piece)) && fed;
  }
  const bool matched = matcher.Matched();
  EXPECT_TRUE(fed || !matched);
  return matched;
}

TEST(SerialisationMatch, AgreesWithToBytesForEveryEncodingAndChunking) {
  for (const Case& c : Documents()) {
    const std::string bytes = c.document.ToBytes();
    for (const size_t chunk_units : {1, 2, 3, 7, 1 << 15}) {
      SerialisationReader reader(c.document, chunk_units);
      std::string joined;
      for (std::string_view next = reader.Next(); !next.empty(); next = reader.Next()) {
        joined += next;
      }
      EXPECT_FALSE(reader.failed()) << c.name;
      EXPECT_EQ(joined, bytes) << c.name << ", chunks of " << chunk_units;
    }
    for (const std::string& candidate : Candidates(bytes)) {
      const bool equal = candidate == bytes;
      EXPECT_EQ(c.document.SerialisesTo(candidate), equal) << c.name << " / " << candidate.size();
      for (const size_t chunk_units : {1, 2, 3, 7}) {
        for (const size_t piece : {1, 2, 5, 64}) {
          EXPECT_EQ(MatchInPieces(c.document, chunk_units, candidate, piece), equal)
              << c.name << ", chunks of " << chunk_units << ", pieces of " << piece
              << ", candidate of " << candidate.size() << " bytes";
        }
      }
    }
  }
}

// A file past one default chunk, with a surrogate pair across the edge and
// the difference placed in the second chunk.
TEST(SerialisationMatch, LargeFilesAcrossTheDefaultChunkEdge) {
  std::u16string text(kSerialisationChunkUnits - 1, u'a');
  text += u"\U0001F600\u00E9";
  text.append(kSerialisationChunkUnits, u'b');
  for (const std::string_view bom : {""sv, "\xFF\xFE"sv, "\xFE\xFF"sv}) {
    Document document = Document::FromBytes(bom);
    ASSERT_EQ(document.SetValue(u"S", u"k", text), Status::kOk);
    const std::string bytes = document.ToBytes();
    EXPECT_TRUE(document.SerialisesTo(bytes)) << bom.size();
    std::string changed = bytes;
    changed[bytes.size() - 10] = 'c';
    EXPECT_FALSE(document.SerialisesTo(changed)) << bom.size();
    EXPECT_FALSE(document.SerialisesTo(bytes.substr(0, bytes.size() - 1))) << bom.size();
    EXPECT_TRUE(Document::FromBytes(bytes).SerialisesTo(bytes)) << bom.size();
  }
}

// ASCII text is compared in place, in blocks: a difference anywhere in or
// around a block must still be seen, as must a non-ASCII character whose
// code equals the byte it stands against (U+00E9 against 0xE9).
TEST(SerialisationMatch, AsciiComparedInPlaceSeesEveryDifference) {
  std::string ascii;
  for (int i = 0; ascii.size() < 1000; ++i) ascii += static_cast<char>('a' + i % 26);
  for (const std::string_view bom : {""sv, "\xEF\xBB\xBF"sv}) {
    for (const size_t at : {0, 1, 30, 31, 32, 33, 63, 64, 65, 500, 998, 999}) {
      SCOPED_TRACE(::testing::Message() << "BOM " << bom.size() << ", at " << at);
      const std::string bytes = std::string(bom) + ascii;
      const Document document = Document::FromBytes(bytes);
      std::string changed = bytes;
      changed[bom.size() + at] ^= 0x20;
      std::string high = bytes;
      high[bom.size() + at] = '\xE9';
      std::string accented = ascii;
      accented.replace(at, 1, "\xC3\xA9");
      const Document accented_document = Document::FromBytes(std::string(bom) + accented);
      std::string latin = std::string(bom) + ascii;
      latin[bom.size() + at] = '\xE9';
      for (const size_t piece : {1, 7, 4096}) {
        EXPECT_TRUE(MatchInPieces(document, kSerialisationChunkUnits, bytes, piece));
        EXPECT_FALSE(MatchInPieces(document, kSerialisationChunkUnits, changed, piece));
        EXPECT_FALSE(MatchInPieces(document, kSerialisationChunkUnits, high, piece));
        EXPECT_TRUE(MatchInPieces(accented_document, kSerialisationChunkUnits,
                                  std::string(bom) + accented, piece));
        EXPECT_FALSE(MatchInPieces(accented_document, kSerialisationChunkUnits, latin, piece));
      }
    }
  }
}

TEST(SerialisationMatch, StaysDifferentOnceADifferenceWasFed) {
  const Document document = Document::FromBytes("[S]\nk=v\n"sv);
  SerialisationMatcher matcher(document);
  EXPECT_TRUE(matcher.Feed("[S]"));
  EXPECT_FALSE(matcher.Feed("?"));
  EXPECT_FALSE(matcher.Feed("k=v\n"));
  EXPECT_FALSE(matcher.Matched());
}

}  // namespace
}  // namespace orx::platform::ini
