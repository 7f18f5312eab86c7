// Provider names become file names on every platform the data folder may
// move to, so the refusals are those of the stricter platform.
#include "access/provider_name.h"

#include <gtest/gtest.h>

#include <string>

#include "base/utf.h"
#include "orxProperty.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"

namespace orx::access {
namespace {

TEST(ProviderName, RefusesWhatEitherPlatformCannotNameAsAPlainFile) {
  const struct {
    std::u16string name;
    bool safe;
  } cases[] = {
      {u"WebTarve", true},
      {u"Web Tarve", true},
      {u".hidden", true},
      {u"a.b", true},
      {u"CONSOLE", true},
      {u"COM0", true},
      {u"LPT10", true},
      {u"xCON", true},
      {u"NULL.x", true},
      {u"\u00A0", true},
      {u"\U0001F600", true},
      {u"Tarve\u00E4", true},
      {u"", false},
      {u".", false},
      {u"..", false},
      {u"a/b", false},
      {u"a\\b", false},
      {u"a:b", false},
      {u"a<b", false},
      {u"a>b", false},
      {u"a\"b", false},
      {u"a|b", false},
      {u"a?b", false},
      {u"a*b", false},
      {u"name.", false},
      {u"name ", false},
      {u"\x01", false},
      {u"a\x1F", false},
      {u"a\x7F", false},
      {u"a\u0080", false},
      {u"a\u009B[2J", false},
      {u"a\u009F", false},
      {u"\xD800", false},
      {u"a\xDC00", false},
      {u"CON", false},
      {u"con", false},
      {u"Prn", false},
      {u"AUX", false},
      {u"nul", false},
      {u"NUL.txt", false},
      {u"con.anything.x", false},
      {u"COM1", false},
      {u"com9", false},
      {u"LPT1", false},
      {u"lpt9.log", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsSafeProviderName(c.name.c_str()), c.safe) << EncodePath(c.name);
  }
}

class ProviderNameExports : public orx::testing::DataFolderTest {};

TEST_F(ProviderNameExports, RefusedNamesTouchNoFile) {
  for (const char16_t* name : {u"CON", u"a?b", u"name.", u"a\u009Bb", u"lpt1.txt"}) {
    EXPECT_EQ(orxSetProviderProperty(name, 0x4000001, u"1"), ORX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(orxSetProviderPropertyInt(name, 0x4000001, 1), ORX_STATUS_INVALID_PARAMETER);
    char16_t buffer[8] = u"stale";
    EXPECT_EQ(orxGetProviderProperty(name, 0x4000001, buffer, 8), ORX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(buffer[0], u'\0');
  }
  EXPECT_TRUE(orx::testing::FolderEntries(folder_.path()).empty());
}

}  // namespace
}  // namespace orx::access
