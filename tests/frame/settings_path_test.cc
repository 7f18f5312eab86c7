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

std::u16string ThreadPathOf(std::u16string_view name, std::u16string_view suffix = {}) {
  ThreadPath path{u"<unset>", 99};
  if (ThreadSettingsPath(name, suffix, path) != Status::kOk) {
    return path.text.empty() && path.build == 0 ? u"<refused>" : u"<refused, not empty>";
  }
  return std::u16string(path.text);
}

// The thread's path is kept between calls: each call must still give the
// path BuildSettingsPath would, whatever the last call asked.
TEST(SettingsPath, ThreadPathFollowsEveryChangeOfFolderNameAndSuffix) {
  InitWithFolder("/data/ormix");
  const struct {
    const char* folder;  // null: the folder stays
    std::u16string_view name;
    std::u16string_view suffix;
    std::u16string_view expected;
  } steps[] = {
      {nullptr, u"ormix5.ini", {}, u"/data/ormix/ormix5.ini"},
      {nullptr, u"ormix5.ini", {}, u"/data/ormix/ormix5.ini"},
      {nullptr, u"ormix6.ini", {}, u"/data/ormix/ormix6.ini"},   // same length
      {nullptr, u"ormix6", u".ini", u"/data/ormix/ormix6.ini"},  // other split
      {nullptr, u"ormix6", u".inj", u"/data/ormix/ormix6.inj"},  // suffix only
      {nullptr, u"ormix", u"6.inj", u"/data/ormix/ormix6.inj"},  // same text
      {nullptr, u"ormix", {}, u"/data/ormix/ormix"},             // a prefix
      {"/data/ormiy", u"ormix", {}, u"/data/ormiy/ormix"},       // folder, same length
      {"/data/ormiy", u"ormix", {}, u"/data/ormiy/ormix"},       // published again
      {"/", u"ormix", {}, u"//ormix"},
  };
  for (const auto& step : steps) {
    if (step.folder != nullptr) InitWithFolder(step.folder);
    EXPECT_EQ(ThreadPathOf(step.name, step.suffix), step.expected);
  }
}

TEST(SettingsPath, ThreadPathRefusedIsEmptyAndTheNextCallBuildsAgain) {
  InitWithFolder("/data/ormix");
  EXPECT_EQ(ThreadPathOf(u"a.ini"), u"/data/ormix/a.ini");
  InitWithFolder("/" + std::string(300, 'f'));
  EXPECT_EQ(ThreadPathOf(u"a.ini"), u"<refused>");
  EXPECT_EQ(ThreadPathOf(u"a.ini"), u"<refused>");
  InitWithFolder("/data/ormix");
  EXPECT_EQ(ThreadPathOf(u"a.ini"), u"/data/ormix/a.ini");
  EXPECT_EQ(ThreadPathOf(std::u16string(247, u'n')).size(), 259u);
  EXPECT_EQ(ThreadPathOf(std::u16string(248, u'n')), u"<refused>");
  EXPECT_EQ(ThreadPathOf(u"a.ini"), u"/data/ormix/a.ini");
}

TEST(SettingsPath, ThreadPathIsEachThreadsOwn) {
  InitWithFolder("/data/ormix");
  ThreadPath mine;
  ASSERT_EQ(ThreadSettingsPath(u"mine.ini", {}, mine), Status::kOk);
  std::u16string theirs;
  std::thread([&] { theirs = ThreadPathOf(u"theirs.ini"); }).join();
  EXPECT_EQ(theirs, u"/data/ormix/theirs.ini");
  EXPECT_EQ(mine.text, u"/data/ormix/mine.ini");
}

// A number stands for one text: kept while the path is, new with every
// build, whichever of the two calls made it. (A view lasts until the next
// call, so each text is copied at once.)
TEST(SettingsPath, ThreadPathNumbersChangeExactlyWhenTheTextDoes) {
  static const char16_t kMain[] = u"ormix5.ini";
  static const char16_t kOther[] = u"other.ini";
  InitWithFolder("/data/ormix");
  struct Taken {
    std::u16string text;
    uint64_t build;
  };
  auto of_constant = [](const char16_t* name) {
    ThreadPath path;
    EXPECT_EQ(ThreadSettingsPathOfConstant(name, path), Status::kOk);
    return Taken{std::u16string(path.text), path.build};
  };
  const Taken first = of_constant(kMain);
  const Taken again = of_constant(kMain);
  const Taken other = of_constant(kOther);
  const Taken back = of_constant(kMain);
  ThreadPath path;
  ASSERT_EQ(ThreadSettingsPath(u"ormix5", u".ini", path), Status::kOk);
  const Taken by_name{std::u16string(path.text), path.build};
  InitWithFolder("/data/ormix");  // the same text, published anew
  const Taken folder_changed = of_constant(kMain);

  EXPECT_EQ(first.text, u"/data/ormix/ormix5.ini");
  EXPECT_NE(first.build, 0u);
  EXPECT_EQ(again.build, first.build);
  EXPECT_EQ(other.text, u"/data/ormix/other.ini");
  EXPECT_NE(other.build, first.build);
  EXPECT_EQ(back.text, u"/data/ormix/ormix5.ini");
  EXPECT_NE(back.build, other.build);
  EXPECT_NE(back.build, first.build);
  EXPECT_EQ(by_name.text, u"/data/ormix/ormix5.ini");
  EXPECT_EQ(by_name.build, back.build);  // equal text, so no build
  EXPECT_EQ(folder_changed.text, u"/data/ormix/ormix5.ini");
  EXPECT_NE(folder_changed.build, back.build);
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
