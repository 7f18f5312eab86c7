#include "frame/settings_path.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "frame/lifecycle.h"
#include "support/child_process.h"

namespace orx::frame {
namespace {

std::u16string Path(std::u16string_view name, std::u16string_view suffix = {}) {
  SettingsPath path;
  if (BuildSettingsPath(path, name, suffix) != Status::kOk) return u"<refused>";
  return path;
}

void InitWithFolder(const std::string& folder) {
  setenv("ORX_DATA_FOLDER", folder.c_str(), 1);
  InitLibrary();
}

// Readers of the data folder that outlive main: a handler registered while
// the program starts (so it runs after the library's static objects are
// destroyed) and a thread still running at exit. Each leaves the process
// with a code of its own when the folder it reads is not the current one.
std::atomic<bool> check_folder_at_exit{false};

bool CurrentFolderReadsRight() {
  SettingsPath path;
  return DataFolder() == u"/second/" && BuildSettingsPath(path, u"a.ini") == Status::kOk &&
         std::u16string_view(path) == u"/second/a.ini";
}

void ReadFolderAtExit() {
  if (check_folder_at_exit && !CurrentFolderReadsRight()) _exit(3);
}

[[maybe_unused]] const int registered_at_start = std::atexit(ReadFolderAtExit);

TEST(SettingsPath, IsBareFileNameBeforeInitialisation) {
  EXPECT_EQ(DataFolder(), u"");
  EXPECT_EQ(Path(u"ormix5.ini"), u"ormix5.ini");
}

TEST(SettingsPath, JoinsFolderSeparatorNameAndSuffix) {
  InitWithFolder("/data/ormix");
  EXPECT_EQ(DataFolder(), u"/data/ormix/");
  EXPECT_EQ(Path(u"ormix5.ini"), u"/data/ormix/ormix5.ini");
  EXPECT_EQ(Path(u"WebTarve", u".ini"), u"/data/ormix/WebTarve.ini");
}

TEST(SettingsPath, SecondInitialisationGivesTheSameFolder) {
  InitWithFolder("/data/ormix");
  InitLibrary();
  EXPECT_EQ(DataFolder(), u"/data/ormix/");
}

TEST(SettingsPath, FolderEndingInSeparatorGetsASecondOne) {
  InitWithFolder("/data/ormix/");
  EXPECT_EQ(DataFolder(), u"/data/ormix//");
}

TEST(SettingsPath, FreeLibraryKeepsTheFolder) {
  InitWithFolder("/data/ormix");
  FreeLibrary();
  EXPECT_EQ(Path(u"a.ini"), u"/data/ormix/a.ini");
}

TEST(SettingsPath, FolderFallsBackToXdgThenHome) {
  unsetenv("ORX_DATA_FOLDER");
  setenv("XDG_DATA_HOME", "/xdg", 1);
  InitLibrary();
  EXPECT_EQ(DataFolder(), u"/xdg/ormix/");
  unsetenv("XDG_DATA_HOME");
  setenv("HOME", "/users/me", 1);
  InitLibrary();
  EXPECT_EQ(DataFolder(), u"/users/me/.local/share/ormix/");
}

// The folder plus its separator must leave room for the terminator; the path
// likewise. Neither is ever cut.
TEST(SettingsPath, LengthLimitsAreExactAndNeverCut) {
  const std::string folder_258 = "/" + std::string(257, 'f');
  InitWithFolder(folder_258);
  EXPECT_EQ(DataFolder().size(), 259u);
  EXPECT_EQ(Path(u""), DataFolder());
  EXPECT_EQ(Path(u"x"), u"<refused>");

  InitWithFolder(folder_258 + "f");  // 259 characters
  EXPECT_EQ(Path(u""), u"<refused>");
  EXPECT_EQ(Path(u"ormix5.ini"), u"<refused>");

  const std::string folder_200 = "/" + std::string(199, 'f');
  InitWithFolder(folder_200);
  EXPECT_EQ(Path(std::u16string(58, u'n')).size(), 259u);
  EXPECT_EQ(Path(std::u16string(59, u'n')), u"<refused>");
  EXPECT_EQ(Path(std::u16string(54, u'n'), u".ini").size(), 259u);
  EXPECT_EQ(Path(std::u16string(55, u'n'), u".ini"), u"<refused>");
}

TEST(SettingsPath, RefusedPathIsEmpty) {
  InitWithFolder("/" + std::string(300, 'f'));
  SettingsPath path;
  path[0] = u'x';
  EXPECT_EQ(BuildSettingsPath(path, u"a.ini"), Status::kFilenameExcedRange);
  EXPECT_EQ(path[0], u'\0');
}

TEST(SettingsPath, NonUtf8FolderBytesSurviveTheRoundTrip) {
  InitWithFolder("/data/\xff\xfe");
  EXPECT_EQ(DataFolder(), u"/data/\xdcff\xdcfe/");
}

TEST(SettingsPath, ReplacedFolderOutlivesExitHandlersAndLateThreads) {
  int code = orx::testing::RunInChild([] {
    InitWithFolder("/first");
    InitWithFolder("/second");
    check_folder_at_exit = true;
    std::thread([] {
      for (;;) {
        if (!CurrentFolderReadsRight()) _exit(4);
      }
    }).detach();
    std::exit(0);  // runs the exit handlers and static destructors
    return 0;
  });
  EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace orx::frame
