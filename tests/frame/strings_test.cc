// The frame's string calls over the process-wide modules: the handle is
// asked for anew at each load, so a changed variable shows at once.
#include "frame/strings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

namespace orx::frame {
namespace {

std::u16string Load(uint32_t id) {
  char16_t buffer[100] = {u'#'};
  LoadStringW(basGetBaseLang(), id, buffer, 100);
  return buffer;
}

TEST(FrameStrings, ModuleVariableTakesEffectAtTheNextLoad) {
  for (const char* name : {"ORX_LANGUAGE_MODULE", "LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
    unsetenv(name);
  }
  setenv("LANG", "C", 1);                // English, whatever is installed on this machine
  EXPECT_EQ(Load(1000), u"Quick scan");  // the first label string
  setenv("ORX_LANGUAGE_MODULE", ORX_LANG_BUILD_DIR "/de.lang", 1);
  EXPECT_EQ(Load(kCopiedLabelFormatId), u"Kopie von %s");
  setenv("ORX_LANGUAGE_MODULE", "/nonexistent/module.lang", 1);
  EXPECT_EQ(Load(kCopiedLabelFormatId), u"");
  unsetenv("ORX_LANGUAGE_MODULE");
  EXPECT_EQ(Load(kCopiedLabelFormatId), u"Copy of %s");
}

}  // namespace
}  // namespace orx::frame
