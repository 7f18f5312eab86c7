// The per-thread memo of the last read: a repeated read of an unchanged file
// skips the cache's lock, yet every change the cache would see must still be
// seen once the memo is warm (several reads past the timestamp tick).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "base/utf.h"
#include "orxProperty.h"
#include "platform/ini/document.h"
#include "platform/posix/frozen_identity.h"
#include "platform/posix/syscalls.h"
#include "platform/profile_store.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

using namespace std::chrono_literals;

constexpr auto kPastTheTick = 30ms;

using orx::testing::FrozenIdentity;

class ProfileStoreMemoTest : public orx::testing::DataFolderTest {
 protected:
  std::u16string Path() const { return DecodePath(folder_.File("a.ini")); }

  // Through the store's FindValue, so that the thread's remembered lookups
  // face every change too.
  std::string Value(ProfileStore& store) {
    Result<std::optional<ini::TextView>> value = store.FindValue(Path(), u"S", u"k");
    if (!value.ok()) return "error " + ::testing::PrintToString(value.status());
    return *value ? EncodePath((*value)->ToU16()) : "missing";
  }

  // Reads until the memo holds a trusted hit.
  void Warm(ProfileStore& store, const std::string& expected) {
    std::this_thread::sleep_for(kPastTheTick);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(Value(store), expected);
  }
};

void ReplaceByRename(const orx::testing::TempDataFolder& folder, const std::string& bytes) {
  folder.Write("a.ini.new", bytes);
  ASSERT_EQ(std::rename(folder.File("a.ini.new").c_str(), folder.File("a.ini").c_str()), 0);
}

void RewriteInPlace(const orx::testing::TempDataFolder& folder, const std::string& bytes) {
  orx::testing::OverwriteInPlace(folder.File("a.ini"), bytes);
}

void Remove(const orx::testing::TempDataFolder& folder, const std::string&) {
  ASSERT_EQ(std::remove(folder.File("a.ini").c_str()), 0);
}

TEST_F(ProfileStoreMemoTest, WarmMemoSeesEveryChangeOfTheFile) {
  struct Case {
    const char* what;
    const char* after;
    std::string expected;
    void (*change)(const orx::testing::TempDataFolder&, const std::string&);
  };
  const Case cases[] = {
      {"replaced by another program", "[S]\nk=22\n", "22", ReplaceByRename},
      {"rewritten in place, same size", "[S]\nk=33\n", "33", RewriteInPlace},
      {"removed", "", "missing", Remove},
      {"longer in place", "[S]\nk=4444\n", "4444", RewriteInPlace},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ProfileStore store;
    folder_.Write("a.ini", "[S]\nk=11\n");
    Warm(store, "11");
    c.change(folder_, c.after);
    EXPECT_EQ(Value(store), c.expected);
    EXPECT_EQ(Value(store), c.expected);
  }
}

// The thread's own write, and a lookup that found nothing, are not
// remembered past the change either.
TEST_F(ProfileStoreMemoTest, RememberedLookupsEndWithTheThreadsOwnWrite) {
  ProfileStore store;
  folder_.Write("a.ini", "[S]\nj=1\n");
  Warm(store, "missing");
  ASSERT_EQ(store.Edit(Path(),
                       [](ini::Document& document) { return document.SetValue(u"S", u"k", u"5"); }),
            Status::kOk);
  EXPECT_EQ(Value(store), "5");
  ASSERT_EQ(
      store.Edit(Path(), [](ini::Document& document) { return document.DeleteKey(u"S", u"k"); }),
      Status::kOk);
  EXPECT_EQ(Value(store), "missing");
}

// A rewrite that keeps size, inode and times is seen only through the racy
// rule; the memo must never stand in for the comparison with the file.
TEST_F(ProfileStoreMemoTest, RacyDocumentIsComparedOnEveryRead) {
  ProfileStore store;
  folder_.Write("a.ini", "[S]\nk=11\n");
  FrozenIdentity frozen(folder_.File("a.ini"));
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Value(store), "11");
  RewriteInPlace(folder_, "[S]\nk=22\n");
  EXPECT_EQ(Value(store), "22");
  RewriteInPlace(folder_, "[S]\nk=33\n");
  EXPECT_EQ(Value(store), "33");
}

// The same for an edit: it must start from the rewritten file, not from the
// cached document the rewrite left the identity of.
TEST_F(ProfileStoreMemoTest, EditAfterRewriteKeepingTheIdentityStartsFromTheFile) {
  ProfileStore store;
  folder_.Write("a.ini", "[S]\nk=11\n");
  FrozenIdentity frozen(folder_.File("a.ini"));
  ASSERT_EQ(Value(store), "11");
  RewriteInPlace(folder_, "[S]\nk=22\n");
  ASSERT_EQ(store.Edit(Path(),
                       [](ini::Document& document) { return document.SetValue(u"S", u"j", u"1"); }),
            Status::kOk);
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\nk=22\nj=1\n");
}

// A snapshot taken by Load outlives the memo moving on to other files and
// the file changing.
TEST_F(ProfileStoreMemoTest, LoadedSnapshotOutlivesTheMemo) {
  ProfileStore store;
  folder_.Write("a.ini", "[S]\nk=11\n");
  folder_.Write("b.ini", "[S]\nk=99\n");
  Warm(store, "11");
  Result<Snapshot> held = store.Load(Path());
  ASSERT_TRUE(held.ok());
  ASSERT_TRUE(store.Load(DecodePath(folder_.File("b.ini"))).ok());
  ReplaceByRename(folder_, "[S]\nk=22\n");
  EXPECT_EQ(Value(store), "22");
  EXPECT_EQ((*held)->FindValue(u"S", u"k"), std::optional<std::u16string_view>(u"11"));
}

// The exports build the path from the data folder; initialising the
// library with another folder must send the next read there.
TEST_F(ProfileStoreMemoTest, NewDataFolderIsReadAfterReinitialisation) {
  constexpr uint32_t kUpdatePeriod = 0x10013;  // [InetWD] UpdatePeriod, in ormix5.ini
  folder_.Write("ormix5.ini", "[InetWD]\nUpdatePeriod=111\n");
  int32_t value = 0;
  std::this_thread::sleep_for(kPastTheTick);
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(orxGetPropertyInt(kUpdatePeriod, &value), 0);
    ASSERT_EQ(value, 111);
  }
  orx::testing::TempDataFolder other;  // sets the folder and initialises
  other.Write("ormix5.ini", "[InetWD]\nUpdatePeriod=222\n");
  ASSERT_EQ(orxGetPropertyInt(kUpdatePeriod, &value), 0);
  EXPECT_EQ(value, 222);
}

}  // namespace
}  // namespace orx::platform
