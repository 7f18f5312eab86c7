// ResolvePropertyId over the eleven classes: the edges of every table, the
// class values that name nothing, and the out-values on each outcome; plus
// the provider range and the class directory the tools print from.
#include "catalogue/property_id.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "orxProperty.h"

namespace orx::catalogue {
namespace {

std::string Hex(PropertyId id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", id);
  return text;
}

struct ClassEdges {
  PropertyClass value;
  const PropertyEntry* table;
  uint32_t count;
  std::u16string_view first_key;
  std::u16string_view last_key;
};

const ClassEdges kEdges[] = {
    {kGeneralClass, kGeneralTable, 124, u"SMTPPort", u"InstallTime"},
    {kTaskClass, kTaskTable, 46, u"Label", u"AutomaticallyApplyActionsDuringScan"},
    {kEmailClass, kEmailTable, 20, u"ScanInbound", u"DetectUnprotectedSSL"},
    {kFileSystemClass, kFileSystemTable, 17, u"ScanOnExecute", u"UsePersistentCache"},
    {kP2PClass, kP2PTable, 32, u"Kazaa", u"FrostWire"},
    {kIMClass, kIMTable, 24, u"MSN", u"Digsby"},
    {kWebClass, kWebTable, 13, u"WebScanning", u"ExcludedTypesList"},
    {kNetworkClass, kNetworkTable, 3, u"ShowMessage", u"SendBlockedUrlStats"},
    {kScriptClass, kScriptTable, 1, u"ShowSplashScreen", u"ShowSplashScreen"},
    {kAntiSpamClass, kAntiSpamTable, 17, u"Threshold", u"AddAddressBookToWhitelist"},
    {kProviderClass, kProviderTable, 19, u"NetAlert", u"ActionOnPackedFile"},
};

TEST(ResolvePropertyId, CountsEveryClassTable) {
  for (const ClassEdges& c : kEdges) {
    EXPECT_EQ(CountEntries(c.table), c.count) << Hex(c.value);
  }
}

TEST(ResolvePropertyId, FindsFirstAndLastEntryOfEveryClass) {
  for (const ClassEdges& c : kEdges) {
    const struct {
      PropertyId id;
      uint32_t index;
      std::u16string_view key;
    } ends[] = {{c.value, 0, c.first_key}, {c.value + c.count - 1, c.count - 1, c.last_key}};
    for (const auto& end : ends) {
      SCOPED_TRACE(Hex(end.id));
      const PropertyEntry* table = nullptr;
      uint32_t index = 12345;
      ASSERT_EQ(ResolvePropertyId(end.id, &table, &index), Status::kOk);
      EXPECT_EQ(table, c.table);
      EXPECT_EQ(index, end.index);
      EXPECT_EQ(table[index].key, end.key);
    }
  }
}

TEST(ResolvePropertyId, RefusesOnePastTheEndOfEveryClass) {
  for (const ClassEdges& c : kEdges) {
    const PropertyEntry* table = nullptr;
    uint32_t index = 0;
    EXPECT_EQ(ResolvePropertyId(c.value + c.count, &table, &index), Status::kInvalidParameter)
        << Hex(c.value + c.count);
  }
}

TEST(ResolvePropertyId, RefusesClassValuesThatNameNoClass) {
  const PropertyId kRefused[] = {
      0x00000000, 0x0000FFFF,  // class 0
      0x00030000,              // two class bits
      0x04010000, 0x06000000,  // provider bit with another bit
      0x08000000, 0x80000000,  // one bit, but above bit 26
      0xFFFF0000, 0xFFFFFFFF,  // every bit
      0x0001FFFF,              // valid class, index far past the end
      0x04000013,              // inside the provider range, past its table
  };
  for (PropertyId id : kRefused) {
    const PropertyEntry* table = nullptr;
    uint32_t index = 0;
    EXPECT_EQ(ResolvePropertyId(id, &table, &index), Status::kInvalidParameter) << Hex(id);
  }
}

TEST(ResolvePropertyId, ClearsOutValuesWhenRefused) {
  // One refusal at the class test and one at the index test: the second has
  // already stored the index when it finds the table too short.
  for (PropertyId id : {PropertyId{0x00030000}, PropertyId{0x0002002E}}) {
    SCOPED_TRACE(Hex(id));
    const PropertyEntry* table = kGeneralTable;
    uint32_t index = 7;
    ASSERT_EQ(ResolvePropertyId(id, &table, &index), Status::kInvalidParameter);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(index, 0u);
  }
}

TEST(ResolvePropertyId, ResolvesTheLastProviderSetting) {
  const PropertyEntry* table = nullptr;
  uint32_t index = 0;
  ASSERT_EQ(ResolvePropertyId(0x04000012, &table, &index), Status::kOk);
  EXPECT_EQ(table[index].key, std::u16string_view(u"ActionOnPackedFile"));
  EXPECT_EQ(table[index].file, std::u16string_view(u"ProviderINI"));
}

TEST(IsInProviderRange, CoversTheProviderClassWhateverTheIndex) {
  EXPECT_TRUE(IsInProviderRange(0x04000000));
  EXPECT_TRUE(IsInProviderRange(0x04000013));
  EXPECT_TRUE(IsInProviderRange(0x0400FFFF));
  EXPECT_FALSE(IsInProviderRange(0x03FFFFFF));
  EXPECT_FALSE(IsInProviderRange(0x04010000));
  EXPECT_FALSE(IsInProviderRange(0x06000000));
  EXPECT_FALSE(IsInProviderRange(0x00020000));
}

TEST(PropertyClasses, ListsTheElevenClassesInOrderWithTheirTables) {
  const struct {
    uint32_t public_value;
    std::string_view name;
    const PropertyEntry* table;
  } kExpected[] = {
      {ORX_CLASS_GENERAL, "general", kGeneralTable},
      {ORX_CLASS_TASK, "task", kTaskTable},
      {ORX_CLASS_EMAIL, "email", kEmailTable},
      {ORX_CLASS_FILESYSTEM, "filesystem", kFileSystemTable},
      {ORX_CLASS_P2P, "p2p", kP2PTable},
      {ORX_CLASS_IM, "im", kIMTable},
      {ORX_CLASS_WEB, "web", kWebTable},
      {ORX_CLASS_NETWORK, "network", kNetworkTable},
      {ORX_CLASS_SCRIPT, "script", kScriptTable},
      {ORX_CLASS_ANTISPAM, "antispam", kAntiSpamTable},
      {ORX_CLASS_PROVIDER, "provider", kProviderTable},
  };
  const auto classes = PropertyClasses();
  ASSERT_EQ(classes.size(), std::size(kExpected));
  for (size_t i = 0; i < classes.size(); ++i) {
    EXPECT_EQ(classes[i].value, kExpected[i].public_value) << i;
    EXPECT_EQ(classes[i].name, kExpected[i].name) << i;
    EXPECT_EQ(classes[i].table, kExpected[i].table) << i;
  }
}

}  // namespace
}  // namespace orx::catalogue
