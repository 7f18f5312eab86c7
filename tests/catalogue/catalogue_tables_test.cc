// Holds the compiled class tables against tests/data/catalogue.tsv, a list
// of all 316 entries typed out separately from the C++ tables: one line per
// entry, tab-separated identifier (hex), file, section, key and default.
// A slip in either transcription shows up as a mismatch here.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/utf.h"
#include "catalogue/property_id.h"

namespace orx::catalogue {
namespace {

struct ReferenceEntry {
  PropertyId id;
  std::u16string file;
  std::u16string section;
  std::u16string key;
  std::u16string default_value;
};

std::string Hex(PropertyId id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", id);
  return text;
}

// Splits at every tab, so an empty last field (an empty default) is kept.
std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

std::u16string Utf16(const std::string& bytes) {
  std::optional<std::u16string> text = DecodeUtf8(bytes);
  EXPECT_TRUE(text.has_value()) << bytes;
  return text.value_or(u"");
}

std::vector<ReferenceEntry> LoadReference() {
  std::ifstream in(ORX_TEST_DATA_DIR "/catalogue.tsv", std::ios::binary);
  EXPECT_TRUE(in.is_open());
  std::vector<ReferenceEntry> entries;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() != 5) {
      ADD_FAILURE() << "line " << number << " has " << fields.size() << " fields";
      continue;
    }
    entries.push_back({static_cast<PropertyId>(std::stoul(fields[0], nullptr, 16)),
                       Utf16(fields[1]), Utf16(fields[2]), Utf16(fields[3]), Utf16(fields[4])});
  }
  return entries;
}

TEST(CatalogueTables, EveryEntryMatchesTheReferenceList) {
  const std::vector<ReferenceEntry> reference = LoadReference();
  ASSERT_EQ(reference.size(), 316u);
  for (const ReferenceEntry& expected : reference) {
    SCOPED_TRACE(Hex(expected.id));
    const PropertyEntry* table = nullptr;
    uint32_t index = 0;
    ASSERT_EQ(ResolvePropertyId(expected.id, &table, &index), Status::kOk);
    const PropertyEntry& entry = table[index];
    EXPECT_EQ(entry.file, expected.file);
    EXPECT_EQ(entry.section, expected.section);
    EXPECT_EQ(entry.key, expected.key);
    EXPECT_EQ(entry.default_value, expected.default_value);
  }
}

// The test above only looks up identifiers the list names; this one makes
// sure no class table holds an entry the list lacks.
TEST(CatalogueTables, EveryClassHoldsExactlyTheReferenceEntries) {
  std::map<PropertyClass, std::vector<uint32_t>> indices;
  for (const ReferenceEntry& entry : LoadReference()) {
    indices[entry.id & kClassMask].push_back(entry.id & kIndexMask);
  }
  EXPECT_EQ(indices.size(), PropertyClasses().size());
  for (const PropertyClassInfo& info : PropertyClasses()) {
    SCOPED_TRACE(info.name);
    const std::vector<uint32_t>& listed = indices[info.value];
    ASSERT_EQ(listed.size(), CountEntries(info.table));
    for (uint32_t i = 0; i < listed.size(); ++i) EXPECT_EQ(listed[i], i);
  }
}

}  // namespace
}  // namespace orx::catalogue
