// Property writes through the public header: where each mode writes, the
// label-reference search, values the file cannot hold, and failures reported
// with the system's error number.
#include <gtest/gtest.h>

#include <string>

#include "orxProperty.h"
#include "support/language_module.h"
#include "support/temp_data_folder.h"

namespace orx::testing {
namespace {

class PropertyWrite : public DataFolderTest {
 protected:
  std::u16string GetTask(const char16_t* task, uint32_t id) {
    char16_t buffer[600] = u"stale";
    EXPECT_EQ(orxGetTaskProperty(task, id, buffer, 600), 0);
    return buffer;
  }
};

TEST_F(PropertyWrite, IntegerIsStoredAsDecimalTextInTheEntrysPlace) {
  EXPECT_EQ(orxSetPropertyInt(0x10013, -5), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[InetWD]\nUpdatePeriod=-5\n");
  int32_t value = 0;
  EXPECT_EQ(orxGetPropertyInt(0x10013, &value), 0);
  EXPECT_EQ(value, -5);
  EXPECT_EQ(orxSetPropertyInt(0x10013, INT32_MIN), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[InetWD]\nUpdatePeriod=-2147483648\n");
}

TEST_F(PropertyWrite, EmptyTextIsStoredAndReadBackInsteadOfTheDefault) {
  EXPECT_EQ(orxSetProperty(0x10000, u""), 0);
  char16_t buffer[10] = u"stale";
  EXPECT_EQ(orxGetProperty(0x10000, buffer, 10), 0);
  EXPECT_EQ(std::u16string(buffer), u"");
}

TEST_F(PropertyWrite, ModuleSettingsGoToTheirOwnFiles) {
  EXPECT_EQ(orxSetProperty(0x10048, u"8080"), 0);
  EXPECT_EQ(folder_.Read("WebTarve.ini"), "[WebScanner]\nHttpRedirectPort=8080\n");
  EXPECT_FALSE(folder_.Exists("ormix5.ini"));
  EXPECT_EQ(orxSetProviderProperty(u"WebTarve", 0x4000007, u"delete"), 0);
  EXPECT_EQ(folder_.Read("WebTarve.ini"),
            "[WebScanner]\nHttpRedirectPort=8080\n[Common]\nVirusAction=delete\n");
  EXPECT_EQ(orxSetProviderPropertyInt(u"WebTarve", 0x10000, 26), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[Communication]\nSMTPPort=26\n");
}

TEST_F(PropertyWrite, RefusalsWriteNothing) {
  const struct {
    const char* what;
    int32_t status;
  } cases[] = {
      {"null value", orxSetProperty(0x10000, nullptr)},
      {"unknown id", orxSetProperty(0x1007C, u"1")},
      {"plain provider id", orxSetProperty(0x4000001, u"1")},
      {"plain provider id as integer", orxSetPropertyInt(0x4000001, 1)},
      {"task provider id", orxSetTaskProperty(u"{T}", 0x4000001, u"1")},
      {"provider id, no name", orxSetProviderProperty(nullptr, 0x4000001, u"1")},
      {"provider id, no name, integer", orxSetProviderPropertyInt(nullptr, 0x4000001, 1)},
      {"provider id, no name, no value", orxSetProviderProperty(nullptr, 0x4000001, nullptr)},
      {"unsafe provider", orxSetProviderProperty(u"../x", 0x4000001, u"1")},
      {"empty provider", orxSetProviderPropertyInt(u"", 0x4000001, 1)},
      {"line break in value", orxSetProperty(0x10000, u"25\n[Admin]\nallow=1")},
      {"carriage return in value", orxSetProperty(0x10000, u"25\r")},
      {"bracket in task id", orxSetTaskProperty(u"{T}]x", 0x20002, u"Scan")},
      {"line break in task id", orxSetTaskProperty(u"{T}\n[x", 0x20002, u"Scan")},
  };
  for (const auto& c : cases) EXPECT_EQ(c.status, ORX_STATUS_INVALID_PARAMETER) << c.what;
  EXPECT_EQ(orxSetProperty(0x10000, u"x\xdc00"), 1113);  // a lone surrogate
  EXPECT_FALSE(folder_.Exists("ormix5.ini"));
  EXPECT_FALSE(folder_.Exists("x.ini"));
}

TEST_F(PropertyWrite, FailedWriteReturnsTheSystemsErrorAndChangesNothing) {
  setenv("ORX_DATA_FOLDER", (folder_.path() + "/missing").c_str(), 1);
  orxPropertyInitLibrary();
  EXPECT_EQ(orxSetProperty(0x10000, u"1"), 3);  // ERROR_PATH_NOT_FOUND
  EXPECT_EQ(orxSetTaskPropertyInt(u"{T}", 0x20019, 1), 3);
}

TEST_F(PropertyWrite, OverlongPathFailsWith206) {
  const std::u16string name(300, u'p');
  EXPECT_EQ(orxSetProviderProperty(name.c_str(), 0x4000000, u"1"), ORX_STATUS_FILENAME_EXCED_RANGE);
}

TEST_F(PropertyWrite, TaskWithoutIdWritesAsPlainMode) {
  EXPECT_EQ(orxSetTaskProperty(nullptr, 0x20002, u"Update"), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[TaskGUID]\nJob=Update\n");
}

class LabelWrite : public PropertyWrite {
 protected:
  void SetUp() override {
    UseLanguageModule(folder_.path(), "en.lang",
                      "1000=Quick scan\n1001=Full scan\n1002=USB\n1003=Folder scan\n"
                      "1004=Full scan\n1005=*@1002\n1007=After the gap\n");
  }
  std::string StoredLabel(const char16_t* text, uint32_t id = 0x20000) {
    EXPECT_EQ(orxSetTaskProperty(u"{T}", id, text), 0);
    const std::string file = folder_.Read("ormix5.ini");
    const size_t equals = file.find('=');
    return file.substr(equals + 1, file.find('\n', equals) - equals - 1);
  }
};

TEST_F(LabelWrite, TextEqualToALocalizedStringIsStoredAsItsReference) {
  const struct {
    const char16_t* text;
    uint32_t id;
    std::string stored;
  } cases[] = {
      {u"Folder scan", 0x20000, "*@1003"},
      {u"Folder scan", 0x20001, "*@1003"},
      {u"folder scan", 0x20000, "folder scan"},  // compared with case
      {u"Folder scan", 0x20002, "Folder scan"},  // only Label and Comment
      {u"Full scan", 0x20000, "*@1001"},         // the lowest number wins
      {u"After the gap", 0x20000, "After the gap"},
      {u"*@1003", 0x20000, "*@1003"},
      {u"*@1002", 0x20000, "*@1005"},
      {u"", 0x20000, ""},
  };
  for (const auto& c : cases) {
    std::remove(folder_.File("ormix5.ini").c_str());
    EXPECT_EQ(StoredLabel(c.text, c.id), c.stored);
  }
}

TEST_F(LabelWrite, PlainModeStoresTheTextUnchanged) {
  EXPECT_EQ(orxSetProperty(0x20000, u"Folder scan"), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[TaskGUID]\nLabel=Folder scan\n");
}

TEST_F(LabelWrite, ReferenceReadsInTheLanguageInForceAtReadTime) {
  EXPECT_EQ(orxSetTaskProperty(u"{T}", 0x20000, u"Folder scan"), 0);
  EXPECT_EQ(GetTask(u"{T}", 0x20000), u"Folder scan");
  UseLanguageModule(folder_.path(), "de.lang",
                    "1000=Schnellprüfung\n1001=Vollständige Prüfung\n1002=USB\n"
                    "1003=Ordnerprüfung\n");
  EXPECT_EQ(GetTask(u"{T}", 0x20000), u"Ordnerprüfung");
  EXPECT_EQ(orxSetTaskProperty(u"{T}", 0x20001, u"Vollständige Prüfung"), 0);
  EXPECT_NE(folder_.Read("ormix5.ini").find("Comment=*@1001\n"), std::string::npos);
}

TEST_F(PropertyWrite, WithoutLanguageModuleStringsTheTextIsStoredAsGiven) {
  UseLanguageModule(folder_.path(), "empty.lang", "");
  EXPECT_EQ(orxSetTaskProperty(u"{T}", 0x20000, u"Quick scan"), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[{T}]\nLabel=Quick scan\n");
}

}  // namespace
}  // namespace orx::testing
