// The derivation of the C names in orxPropertyIds.h: word splits that are
// easy to get wrong, the section added for a shared key, and clashes
// reported rather than emitted.
#include "macro_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orx::ids {
namespace {

TEST(UpperSnake, SplitsWordsAtCapitalsAndSeparators) {
  const std::pair<const char*, const char*> cases[] = {
      {"UpdatePeriod", "UPDATE_PERIOD"},
      {"SMTPPort", "SMTP_PORT"},
      {"PopRedirectPortSSL", "POP_REDIRECT_PORT_SSL"},
      {"ScanDLLOnLoad", "SCAN_DLL_ON_LOAD"},
      {"Confirm10", "CONFIRM10"},
      {"Winny2", "WINNY2"},
      {"iDCPP", "I_DCPP"},
      {"mIRC", "M_IRC"},
      {"IM2", "IM2"},
      {"Gadu-Gadu", "GADU_GADU"},
      {"p2p", "P2P"},
      {"TaskGUID", "TASK_GUID"},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(UpperSnake(name), expected) << name;
}

TEST(NameIds, SharedKeysTakeTheirSectionAndClashesAreReported) {
  std::vector<std::string> clashes;
  const std::vector<NamedId> ids = NameIds({{"general", "EmailScanner", "IgnoreAddress", 1},
                                            {"general", "WebScanner", "ignoreaddress", 2},
                                            {"general", "Main", "UpdatePeriod", 3},
                                            {"task", "TaskGUID", "UpdatePeriod", 4}},
                                           clashes);
  ASSERT_EQ(ids.size(), 4u);
  EXPECT_EQ(ids[0].name, "ORX_GENERAL_EMAIL_SCANNER_IGNORE_ADDRESS");
  EXPECT_EQ(ids[1].name, "ORX_GENERAL_WEB_SCANNER_IGNOREADDRESS");
  EXPECT_EQ(ids[2].name, "ORX_GENERAL_UPDATE_PERIOD");
  EXPECT_EQ(ids[3].name, "ORX_TASK_UPDATE_PERIOD");
  EXPECT_TRUE(clashes.empty());

  // Different keys that spell the same words cannot both be named.
  NameIds({{"general", "A", "SMTPPort", 1}, {"general", "A", "Smtp-Port", 2}}, clashes);
  ASSERT_EQ(clashes.size(), 1u);
  EXPECT_NE(clashes[0].find("ORX_GENERAL_SMTP_PORT"), std::string::npos);
}

TEST(NameIds, TheCatalogueNamesEveryIdentifierWithoutClash) {
  std::vector<std::string> clashes;
  const std::vector<NamedId> ids = NameIds(CatalogueRows(), clashes);
  EXPECT_EQ(ids.size(), 316u);
  EXPECT_TRUE(clashes.empty()) << clashes.front();
  const std::string header = IdsHeader(ids);
  EXPECT_NE(header.find("#define ORX_GENERAL_UPDATE_PERIOD 0x00010013u\n"), std::string::npos);
  EXPECT_NE(header.find("#define ORX_PROPERTY_ID_COUNT 316u\n"), std::string::npos);
}

}  // namespace
}  // namespace orx::ids
