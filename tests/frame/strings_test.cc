// The frame's string calls over the process-wide modules: the handle is
// asked for anew at each load, so a changed variable or file shows at once.
#include "frame/strings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "support/temp_data_folder.h"

namespace orx::frame {
namespace {

class FrameStrings : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"ORX_LANGUAGE_MODULE", "LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
      unsetenv(name);
    }
    // Whatever is installed on this machine, C means English.
    setenv("LANG", "C", 1);
  }

  static std::u16string Load(uint32_t id) {
    char16_t buffer[100] = {u'#'};
    LoadStringW(basGetBaseLang(), id, buffer, 100);
    return buffer;
  }

  static void UseShipped(const char* name) {
    setenv("ORX_LANGUAGE_MODULE", (std::string(ORX_SOURCE_DIR) + "/lang/" + name).c_str(), 1);
  }
};

TEST_F(FrameStrings, EnglishServesWithoutAModule) {
  EXPECT_NE(basGetBaseLang(), nullptr);
  EXPECT_EQ(Load(kCopiedLabelFormatId), u"Copy of %s");
  EXPECT_EQ(Load(kFirstLabelStringId), u"Quick scan");
}

TEST_F(FrameStrings, ModuleVariableTakesEffectAtTheNextLoad) {
  UseShipped("de.lang");
  EXPECT_EQ(Load(kCopiedLabelFormatId), u"Kopie von %s");
  UseShipped("en.lang");
  EXPECT_EQ(Load(kCopiedLabelFormatId), u"Copy of %s");
  setenv("ORX_LANGUAGE_MODULE", "/nonexistent/module.lang", 1);
  EXPECT_EQ(Load(kCopiedLabelFormatId), u"");
  unsetenv("ORX_LANGUAGE_MODULE");
  EXPECT_EQ(Load(kCopiedLabelFormatId), u"Copy of %s");
}

TEST_F(FrameStrings, EditedModuleFileIsSeenAtTheNextLoad) {
  testing::TempDataFolder folder;
  folder.Write("labels.lang", "1000=Nightly\n");
  setenv("ORX_LANGUAGE_MODULE", folder.File("labels.lang").c_str(), 1);
  EXPECT_EQ(Load(1000), u"Nightly");
  folder.Write("labels.lang", "1000=Weekly\n");
  EXPECT_EQ(Load(1000), u"Weekly");
}

}  // namespace
}  // namespace orx::frame
