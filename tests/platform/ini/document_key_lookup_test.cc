// Key lookups while sections grow and shrink across the size at which a
// section stops being scanned and has its keys indexed: after every edit,
// each name must be found where a fresh parse of the document's own bytes
// finds it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/ini/document.h"

namespace orx::platform::ini {
namespace {

// Comfortably past the scanning limit on both sides.
constexpr int kLargest = 140;

std::string Digits(int i) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%03d", i);
  return digits;
}

// The name a lookup asks for; the file spells it "key000".
std::u16string Key(int i) {
  const std::string digits = Digits(i);
  return u"Key" + std::u16string(digits.begin(), digits.end());
}

std::string Section(const std::string& name, int keys) {
  std::string text = "[" + name + "]\n";
  for (int i = 0; i < keys; ++i) text += "key" + Digits(i) + "=" + name + Digits(i) + "\n";
  return text;
}

// Every key of every section, as looked up, against a fresh parse.
void ExpectLookupsAsReparsed(const Document& document, const std::string& step) {
  const Document reparsed = Document::FromBytes(document.ToBytes());
  for (const char16_t* section : {u"A", u"S", u"Y", u"Z"}) {
    for (int i = 0; i < kLargest + 8; ++i) {
      ASSERT_EQ(document.FindValue(section, Key(i)), reparsed.FindValue(section, Key(i)))
          << step << ", section " << static_cast<char>(section[0]) << ", key " << i;
    }
    ASSERT_EQ(document.FindValue(section, u"dup"), reparsed.FindValue(section, u"dup")) << step;
  }
}

TEST(DocumentKeyLookup, EditsAcrossTheScanningLimitKeepEveryKeyFound) {
  for (const int start : {1, 30, 63, 64, 65, 66, 100}) {
    SCOPED_TRACE("section of " + std::to_string(start) + " keys");
    // Scanned sections before and after, a large one after and a later
    // section of the same name, so that edits must move what follows them.
    Document document = Document::FromBytes(Section("A", 3) + Section("S", start) +
                                            Section("Y", 70) + Section("Z", 5) + Section("s", 5));
    ExpectLookupsAsReparsed(document, "parsed");
    for (int i = start; i < start + 4; ++i) {
      ASSERT_EQ(document.SetValue(u"S", Key(i), u"added"), Status::kOk);
      ExpectLookupsAsReparsed(document, "added " + std::to_string(i));
    }
    for (int i = start + 3; i >= std::max(0, start - 6); i -= 2) {
      ASSERT_EQ(document.DeleteKey(u"s", Key(i)), Status::kOk);  // names fold
      ExpectLookupsAsReparsed(document, "deleted " + std::to_string(i));
    }
    ASSERT_EQ(document.SetValue(u"S", Key(1), u"changed"), Status::kOk);
    ASSERT_EQ(document.DeleteSection(u"A"), Status::kOk);
    ExpectLookupsAsReparsed(document, "section before removed");
    const std::u16string removed = Key(2);
    const std::u16string added = Key(kLargest);
    const std::u16string set = Key(0);
    const std::array<KeyEdit, 3> batch = {
        {{removed, std::nullopt}, {added, u"batch"}, {set, u"batch"}}};
    ASSERT_EQ(document.ApplyToSection(u"S", batch), Status::kOk);
    ExpectLookupsAsReparsed(document, "batch");
    const std::u16string removed_after = Key(5);
    ASSERT_EQ(
        document.ApplyToSection(u"Y", std::array<KeyEdit, 1>{{{removed_after, std::nullopt}}}),
        Status::kOk);
    ExpectLookupsAsReparsed(document, "batch after");
  }
}

// The first key of a name is the one found; removing it brings the next one
// of that name forward, whether the section is scanned, indexed, or passes
// from one to the other with that removal.
TEST(DocumentKeyLookup, RemovingTheFirstOfTwoKeysFindsTheSecond) {
  for (const int others : {3, 63, 64, 65, 100}) {
    SCOPED_TRACE(std::to_string(others) + " other keys");
    std::string text = "[S]\ndup=first\n" + Section("S", others).substr(4) + "DUP=second\n";
    Document document = Document::FromBytes(text);
    EXPECT_EQ(document.FindValue(u"S", u"dup"), u"first");
    ASSERT_EQ(document.DeleteKey(u"S", u"Dup"), Status::kOk);
    EXPECT_EQ(document.FindValue(u"S", u"dup"), u"second");
    ASSERT_EQ(document.DeleteKey(u"S", u"dup"), Status::kOk);
    EXPECT_EQ(document.FindValue(u"S", u"dup"), std::nullopt);
    ASSERT_EQ(document.SetValue(u"S", u"dup", u"third"), Status::kOk);
    EXPECT_EQ(document.FindValue(u"S", u"dup"), u"third");
    ExpectLookupsAsReparsed(document, "after the duplicates");
  }
}

}  // namespace
}  // namespace orx::platform::ini
