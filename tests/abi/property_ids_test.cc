// The generated orxPropertyIds.h against the library: the list holds every
// catalogue identifier once, each constant resolves to a setting, and the
// names follow the derivation rule where it is easy to get wrong.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "orxProperty.h"
#include "orxPropertyIds.h"
#include "support/temp_data_folder.h"

extern "C" size_t orx_ids_from_c99(const uint32_t** ids, const char* const** names);

namespace {

TEST(PropertyIds, ListEveryIdentifierOnceAndEachResolves) {
  orx::testing::TempDataFolder folder;
  const uint32_t* ids = nullptr;
  const char* const* names = nullptr;
  const size_t count = orx_ids_from_c99(&ids, &names);
  ASSERT_EQ(count, 316u);
  std::set<uint32_t> distinct;
  for (size_t i = 0; i < count; ++i) {
    EXPECT_TRUE(distinct.insert(ids[i]).second) << names[i];
    char16_t value[8];
    EXPECT_EQ(orxGetProviderProperty(u"Probe", ids[i], value, 8), ORX_STATUS_SUCCESS)
        << names[i] << " 0x" << std::hex << ids[i];
  }
}

TEST(PropertyIds, NamesFollowClassAndKey) {
  struct Case {
    uint32_t value;
    uint32_t expected;
  };
  const Case cases[] = {
      {ORX_GENERAL_SMTP_PORT, 0x10000},
      {ORX_GENERAL_UPDATE_PERIOD, 0x10013},
      {ORX_TASK_LABEL, 0x20000},
      // A key two sections of one class share takes the section's name.
      {ORX_GENERAL_EMAIL_SCANNER_IGNORE_ADDRESS, 0x10044},
      {ORX_GENERAL_WEB_SCANNER_IGNORE_ADDRESS, 0x10049},
      {ORX_GENERAL_WEB_SCANNER_AUTO_REDIRECT, 0x1004B},
      {ORX_PROVIDER_ACTION_ON_PACKED_FILE, 0x4000012},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value, c.expected);
  EXPECT_EQ(ORX_PROPERTY_ID_COUNT, 316u);
}

}  // namespace
