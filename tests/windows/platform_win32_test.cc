// The Win32 stand-ins of the sibling libraries: the data folder from the
// environment, GUIDs, and the language modules (resource DLLs).
#include <gtest/gtest.h>

#include <string>

#include "frame/settings_path.h"
#include "orxProperty.h"
#include "platform/guid.h"
#include "platform/string_table.h"
#include "platform/win32/string_table_win32.h"
#include "windows_support.h"

namespace orx::testing {
namespace {

struct FolderCase {
  const wchar_t* variable;  // nullptr: unset
  const char16_t* data_folder;
};

class DataFolderFromEnvironment : public ::testing::TestWithParam<FolderCase> {};

TEST_P(DataFolderFromEnvironment, EndsWithExactlyOneBackslash) {
  SetEnvironmentVariableW(L"ORX_DATA_FOLDER", GetParam().variable);
  orxPropertyInitLibrary();
  EXPECT_EQ(frame::DataFolder(), std::u16string_view(GetParam().data_folder));
}

INSTANTIATE_TEST_SUITE_P(Win32, DataFolderFromEnvironment,
                         ::testing::Values(FolderCase{L"C:\\data", u"C:\\data\\"},
                                           FolderCase{L"C:\\data\\", u"C:\\data\\"},
                                           FolderCase{L"C:\\data\\\\/", u"C:\\data\\"},
                                           FolderCase{L"C:\\", u"C:\\"}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(Win32DataFolder, FallsBackToProgramDataOrmixWhenUnsetOrEmpty) {
  wchar_t common[MAX_PATH];
  ASSERT_NE(GetEnvironmentVariableW(L"ProgramData", common, MAX_PATH), 0u);
  const std::wstring expected = std::wstring(common) + L"\\ormix\\";
  for (const wchar_t* value : {static_cast<const wchar_t*>(nullptr), L""}) {
    SetEnvironmentVariableW(L"ORX_DATA_FOLDER", value);
    orxPropertyInitLibrary();
    const std::u16string_view folder = frame::DataFolder();
    EXPECT_EQ(std::wstring(folder.begin(), folder.end()), expected);
  }
}

TEST(Win32Guid, RegistryTextOfDistinctGuids) {
  Result<platform::GuidText> first = platform::DefaultGuidGenerator().NewGuid();
  Result<platform::GuidText> second = platform::DefaultGuidGenerator().NewGuid();
  ASSERT_TRUE(first.ok() && second.ok());
  const std::u16string text(first->data());
  ASSERT_EQ(text.size(), 38u);
  EXPECT_EQ(text.front(), u'{');
  EXPECT_EQ(text.back(), u'}');
  for (size_t i : {9u, 14u, 19u, 24u}) EXPECT_EQ(text[i], u'-');
  for (char16_t c : text) EXPECT_FALSE(c >= u'a' && c <= u'z') << "lower-case digit";
  EXPECT_NE(text, std::u16string(second->data()));
}

std::wstring LangFolder() {
  wchar_t self[MAX_PATH];
  std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  path.resize(path.find_last_of(L"\\/") + 1);
  return path + L"lang";  // the programs and the lang folder share bin/
}

std::u16string String1000(const platform::LanguageModule* module) {
  char16_t buffer[100];
  platform::LoadStringW(module, 1000, buffer, 100);
  return buffer;
}

struct LanguageCase {
  const wchar_t* module_variable;  // ORX_LANGUAGE_MODULE, relative to the lang folder
  const wchar_t* locale;
  const char16_t* string_1000;
};

class LanguageModuleChoice : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageModuleChoice, PicksTheModuleInForce) {
  const LanguageCase& c = GetParam();
  const std::wstring folder = LangFolder();
  const std::wstring module = c.module_variable ? folder + L"\\" + c.module_variable : L"";
  SetEnvironmentVariableW(L"ORX_LANGUAGE_MODULE", c.module_variable ? module.c_str() : nullptr);
  auto modules = platform::win32::NewWin32LanguageModules(folder, c.locale);
  EXPECT_EQ(String1000(modules->Select()), c.string_1000);
  SetEnvironmentVariableW(L"ORX_LANGUAGE_MODULE", nullptr);
}

INSTANTIATE_TEST_SUITE_P(Win32, LanguageModuleChoice,
                         ::testing::Values(LanguageCase{nullptr, L"de-DE", u"Schnellpr\u00fcfung"},
                                           LanguageCase{nullptr, L"de-AT", u"Schnellpr\u00fcfung"},
                                           LanguageCase{nullptr, L"fr-FR", u"Quick scan"},
                                           LanguageCase{nullptr, L"..\\x", u"Quick scan"},
                                           LanguageCase{L"de.dll", L"en-US",
                                                        u"Schnellpr\u00fcfung"},
                                           LanguageCase{L"missing.dll", L"de-DE", u""}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(Win32LanguageModules, ModuleFileIsReadAgainWhenItChanges) {
  const std::wstring folder = LangFolder();
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring copy =
      std::wstring(temp) + L"orx-module-" + std::to_wstring(GetCurrentProcessId()) + L".dll";
  ASSERT_TRUE(CopyFileW((folder + L"\\de.dll").c_str(), copy.c_str(), FALSE));
  SetEnvironmentVariableW(L"ORX_LANGUAGE_MODULE", copy.c_str());
  auto modules = platform::win32::NewWin32LanguageModules(L"", L"");
  const platform::LanguageModule* module = modules->Select();
  EXPECT_EQ(String1000(module), u"Schnellpr\u00fcfung");
  Sleep(50);  // past the racy window of the copy
  ASSERT_TRUE(CopyFileW((folder + L"\\en.dll").c_str(), copy.c_str(), FALSE));
  EXPECT_EQ(modules->Select(), module);  // the same path is the same module
  EXPECT_EQ(String1000(module), u"Quick scan");
  SetEnvironmentVariableW(L"ORX_LANGUAGE_MODULE", nullptr);
  DeleteFileW(copy.c_str());
}

TEST(Win32LanguageModules, BuiltInEnglishComesFromTheLibrarysOwnResources) {
  HMODULE self = GetModuleHandleW(nullptr);  // the tests link the library in
  const platform::StringTable table = platform::win32::ResourceStringTable(self);
  EXPECT_EQ(table.Find(1000), u"Quick scan");
  EXPECT_TRUE(table.SameStrings(platform::BuiltinEnglishTable()));
}

}  // namespace
}  // namespace orx::testing
