// Property reads through the public header: defaults, the three modes, the
// provider default overrides, integer conversion, label references and every
// refusal with its status and cleared out-value.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "orxProperty.h"
#include "support/language_module.h"
#include "support/temp_data_folder.h"

namespace orx::testing {
namespace {

constexpr uint32_t kCapacity = 300;

class PropertyRead : public DataFolderTest {
 protected:
  std::u16string Get(uint32_t id, int32_t expected_status = 0) {
    char16_t buffer[kCapacity] = u"stale";
    EXPECT_EQ(orxGetProperty(id, buffer, kCapacity), expected_status) << std::hex << id;
    return buffer;
  }
  std::u16string GetTask(const char16_t* task, uint32_t id, uint32_t size = kCapacity) {
    char16_t buffer[kCapacity] = u"stale";
    EXPECT_EQ(orxGetTaskProperty(task, id, buffer, size), 0) << std::hex << id;
    return buffer;
  }
  std::u16string GetProvider(const char16_t* provider, uint32_t id) {
    char16_t buffer[kCapacity] = u"stale";
    EXPECT_EQ(orxGetProviderProperty(provider, id, buffer, kCapacity), 0) << std::hex << id;
    return buffer;
  }
  int32_t GetInt(uint32_t id) {
    int32_t value = 42;
    EXPECT_EQ(orxGetPropertyInt(id, &value), 0) << std::hex << id;
    return value;
  }
};

TEST_F(PropertyRead, EmptyFolderYieldsCatalogueDefaults) {
  const struct {
    uint32_t id;
    std::u16string text;
  } cases[] = {
      {0x10000, u"25"},     {0x10013, u"240"},
      {0x1003D, u"25,587"}, {0x10063, u""},
      {0x20000, u"????"},   {0x200000D, u"-1"},
      {0x100018, u"0"},     {0x1000000, u"1"},
      {0x1007B, u"0"},      {0x40000C, u"image/gif;image/png;audio/*;video/*"},
  };
  for (const auto& c : cases) EXPECT_EQ(Get(c.id), c.text) << std::hex << c.id;
  EXPECT_FALSE(folder_.Exists("ormix5.ini"));
}

TEST_F(PropertyRead, IntegerDefaultsConvertAsDecimal) {
  EXPECT_EQ(GetInt(0x10013), 240);
  EXPECT_EQ(GetInt(0x1003D), 25);  // "25,587": the number before the comma
  EXPECT_EQ(GetInt(0x10063), 0);
  EXPECT_EQ(GetInt(0x200000D), -1);
}

TEST_F(PropertyRead, StoredTextConvertsByTheUsualDecimalRules) {
  const struct {
    std::string stored;
    int32_t value;
  } cases[] = {
      {"-12abc", -12},
      {"abc", 0},
      {"  +7", 7},
      {"2147483647", INT32_MAX},
      {"2147483648", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"-2147483649", INT32_MIN},
      {"99999999999999999999999", INT32_MAX},
      {"0x10", 0},
      {std::string(99, '0') + "7", 0},  // only the first 99 units convert
      {std::string(98, '0') + "7", 7},
  };
  for (const auto& c : cases) {
    folder_.Write("ormix5.ini", "[InetWD]\nUpdatePeriod=" + c.stored + "\n");
    EXPECT_EQ(GetInt(0x10013), c.value) << c.stored;
  }
}

TEST_F(PropertyRead, RefusalsReturn87AndLeaveTheTextEmpty) {
  const char16_t* task = u"{T}";
  const struct {
    const char* what;
    int32_t (*call)(const char16_t* task, char16_t* buffer);
  } cases[] = {
      {"plain provider id",
       [](const char16_t*, char16_t* b) { return orxGetProperty(0x4000001, b, 9); }},
      {"task provider id",
       [](const char16_t* t, char16_t* b) { return orxGetTaskProperty(t, 0x4000001, b, 9); }},
      {"provider id, no name",
       [](const char16_t*, char16_t* b) {
         return orxGetProviderProperty(nullptr, 0x4000001, b, 9);
       }},
      {"past the general table",
       [](const char16_t*, char16_t* b) { return orxGetProperty(0x1007C, b, 9); }},
      {"past the task table",
       [](const char16_t* t, char16_t* b) { return orxGetTaskProperty(t, 0x2002E, b, 9); }},
      {"two class bits",
       [](const char16_t*, char16_t* b) { return orxGetProperty(0x30000, b, 9); }},
      {"class 0", [](const char16_t*, char16_t* b) { return orxGetProperty(0x5, b, 9); }},
  };
  for (const auto& c : cases) {
    char16_t buffer[9] = u"stale";
    EXPECT_EQ(c.call(task, buffer), ORX_STATUS_INVALID_PARAMETER) << c.what;
    EXPECT_EQ(buffer[0], u'\0') << c.what;
  }
  EXPECT_EQ(orxGetProperty(0x10000, nullptr, 9), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxGetProviderProperty(u"WebTarve", 0x4000001, nullptr, 9),
            ORX_STATUS_INVALID_PARAMETER);
}

TEST_F(PropertyRead, IntegerRefusalsLeaveZero) {
  int32_t value = 42;
  EXPECT_EQ(orxGetPropertyInt(0x1007C, &value), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(value, 0);
  value = 42;
  EXPECT_EQ(orxGetProviderPropertyInt(nullptr, 0x4000005, &value), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(value, 0);
  value = 42;
  EXPECT_EQ(orxGetTaskPropertyInt(u"{T}", 0x4000005, &value), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(orxGetPropertyInt(0x10000, nullptr), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxGetTaskPropertyInt(u"{T}", 0x10000, nullptr), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxGetProviderPropertyInt(u"P", 0x4000005, nullptr), ORX_STATUS_INVALID_PARAMETER);
}

TEST_F(PropertyRead, ProviderDefaultOverridesMatchWholeNamesWithCase) {
  const struct {
    const char16_t* provider;
    uint32_t id;
    std::u16string text;
  } cases[] = {
      {u"WebTarve", 0x4000007, u"abort"},
      {u"WebTarve", 0x4000008, u"abort"},
      {u"WebTarve", 0x4000009, u"abort"},
      {u"webtarve", 0x4000007, u"trezor iffailed delete"},
      {u"WebTarve2", 0x4000007, u"trezor iffailed delete"},
      {u"EmailTarve", 0x4000007, u"trezor iffailed delete"},
      {u"AntiSpamTarve", 0x4000002, u"None"},
      {u"AntiSpamTarve", 0x4000001, u"EXE;WinExec;Streams;Drop"},
      {u"WebTarve", 0x4000002, u"TXT"},
      {u"WebTarve", 0x4000001, u"All"},
      {u"EmailTarve", 0x4000001, u"All"},
      {u"P2PTarve", 0x4000001, u"All"},
      {u"IMTarve", 0x4000001, u"All"},
      {u"OtherProvider", 0x4000001, u"EXE;WinExec;Streams;Drop"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetProvider(c.provider, c.id), c.text)
        << std::string(c.provider, c.provider + std::char_traits<char16_t>::length(c.provider));
  }
}

TEST_F(PropertyRead, StoredProviderValueWinsOverTheOverride) {
  folder_.Write("IMTarve.ini", "[Common]\nScanPackers=EXE\n");
  EXPECT_EQ(GetProvider(u"IMTarve", 0x4000001), u"EXE");
}

TEST_F(PropertyRead, ProviderNameIsIgnoredOutsideTheProviderClass) {
  folder_.Write("ormix5.ini", "[Communication]\nSMTPPort=2525\n");
  folder_.Write("WebTarve.ini", "[Communication]\nSMTPPort=1\n");
  EXPECT_EQ(GetProvider(u"WebTarve", 0x10000), u"2525");
  EXPECT_EQ(GetProvider(u"../escape", 0x10000), u"2525");
}

TEST_F(PropertyRead, UnsafeProviderNamesAreRefusedBeforeAnyFileIsTouched) {
  const char16_t* names[] = {u"",    u".",     u"..",    u"a/b",  u"..\\x",
                             u"c:x", u"a\x01", u"a\x7f", u"\x1f", u"x\xd800"};
  for (const char16_t* name : names) {
    char16_t buffer[9] = u"stale";
    EXPECT_EQ(orxGetProviderProperty(name, 0x4000000, buffer, 9), ORX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(buffer[0], u'\0');
    int32_t value = 42;
    EXPECT_EQ(orxGetProviderPropertyInt(name, 0x400000F, &value), ORX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(value, 0);
  }
}

// A provider read remembers the last name it found safe: the names asked in
// turn, safe and not, each in a buffer of its own that is then rewritten in
// place, must each get their own answer, whatever came before.
TEST_F(PropertyRead, EachProviderReadChecksItsOwnNameWhateverCameBefore) {
  folder_.Write("Good.ini", "[Common]\nNetAlert=kept\n");
  folder_.Write("Gooe.ini", "[Common]\nNetAlert=other\n");
  const struct {
    const char16_t* name;
    int32_t status;
    std::u16string_view value;
  } steps[] = {
      {u"Good", 0, u"kept"}, {u"Goo/", 87, u""},    {u"Good", 0, u"kept"}, {u"Gooe", 0, u"other"},
      {u"Good", 0, u"kept"}, {u"Good.", 87, u""},   {u"Good.", 87, u""},   {u"Good", 0, u"kept"},
      {u"CON", 87, u""},     {u"Good", 0, u"kept"}, {u"", 87, u""},        {u"Good", 0, u"kept"},
  };
  char16_t name[16] = {};
  for (const auto& step : steps) {
    std::u16string_view(step.name).copy(name, 15);
    name[std::u16string_view(step.name).size()] = u'\0';
    char16_t buffer[kCapacity] = u"stale";
    EXPECT_EQ(orxGetProviderProperty(name, 0x4000000, buffer, kCapacity), step.status)
        << std::string(step.name, step.name + std::u16string_view(step.name).size());
    EXPECT_EQ(std::u16string_view(buffer), step.value);
  }
}

TEST_F(PropertyRead, TaskModeReadsTheTaskSection) {
  folder_.Write("ormix5.ini", "[{T}]\nSchedDays=5\nLabel=Mine\n[TaskGUID]\nLabel=Plain\n");
  EXPECT_EQ(GetTask(u"{T}", 0x20000), u"Mine");
  EXPECT_EQ(GetTask(u"{t}", 0x20000), u"Mine");  // section names ignore case
  EXPECT_EQ(GetTask(u"{Other}", 0x20000), u"????");
  EXPECT_EQ(GetTask(nullptr, 0x20000), u"Plain");
  EXPECT_EQ(Get(0x20000), u"Plain");
  int32_t days = 0;
  EXPECT_EQ(orxGetTaskPropertyInt(u"{T}", 0x20019, &days), 0);
  EXPECT_EQ(days, 5);
  EXPECT_EQ(orxGetTaskPropertyInt(u"{Other}", 0x20019, &days), 0);
  EXPECT_EQ(days, 127);
}

TEST_F(PropertyRead, TextIsCutToTheBuffer) {
  folder_.Write("ormix5.ini", "[{T}]\nJob=abcdef\n");
  EXPECT_EQ(GetTask(u"{T}", 0x20002, 1), u"");
  EXPECT_EQ(GetTask(u"{T}", 0x20002, 3), u"ab");
  EXPECT_EQ(GetTask(u"{T}", 0x20002, 6), u"abcde");
  EXPECT_EQ(GetTask(u"{T}", 0x20002, 7), u"abcdef");
}

class LabelRead : public PropertyRead {
 protected:
  void SetUp() override {
    UseLanguageModule(folder_.path(), "en.lang",
                      "1000=Quick scan\n1001=Full scan\n1002=USB\n1003=Folder scan\n12=Twelve\n");
  }
};

TEST_F(LabelRead, ReferenceInLabelOrCommentExpandsInTaskModeOnly) {
  folder_.Write("ormix5.ini",
                "[{T}]\nLabel=*@1003\nComment=*@1001\nJob=*@1003\n[TaskGUID]\nLabel=*@1003\n");
  EXPECT_EQ(GetTask(u"{T}", 0x20000), u"Folder scan");
  EXPECT_EQ(GetTask(u"{T}", 0x20001), u"Full scan");
  EXPECT_EQ(GetTask(u"{T}", 0x20002), u"*@1003");
  EXPECT_EQ(Get(0x20000), u"*@1003");
  EXPECT_EQ(GetTask(u"{T}", 0x20000, 5), u"Fold");
}

// A reference that names no string, or a number beyond the 32-bit range,
// comes back as stored rather than empty.
TEST_F(LabelRead, ReferenceThatNamesNoStringStaysAsStored) {
  const struct {
    std::string stored;
    std::u16string read;
  } cases[] = {
      {"*@x", u"*@x"},  // loads string 0, which is missing
      {"*@12x", u"Twelve"},    {"*@1999", u"*@1999"}, {"*@99999999999", u"*@99999999999"},
      {"*@-1000", u"*@-1000"}, {"*@", u"*@"},
  };
  for (const auto& c : cases) {
    folder_.Write("ormix5.ini", "[{T}]\nLabel=" + c.stored + "\n");
    EXPECT_EQ(GetTask(u"{T}", 0x20000), c.read) << c.stored;
  }
}

TEST_F(PropertyRead, ReadsKeepWorkingAfterFreeLibrary) {
  folder_.Write("ormix5.ini", "[InetWD]\nUpdatePeriod=7\n");
  EXPECT_EQ(GetInt(0x10013), 7);
  orxPropertyFreeLibrary();
  EXPECT_EQ(GetInt(0x10013), 7);
}

TEST_F(PropertyRead, OverlongProviderPathFailsWithoutTouchingFiles) {
  char16_t buffer[9] = u"stale";
  const std::u16string name(300, u'p');
  EXPECT_EQ(orxGetProviderProperty(name.c_str(), 0x4000000, buffer, 9),
            ORX_STATUS_FILENAME_EXCED_RANGE);
  EXPECT_EQ(buffer[0], u'\0');
}

}  // namespace
}  // namespace orx::testing
