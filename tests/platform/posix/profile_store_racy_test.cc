// A cached document read or written within a timestamp tick of its file's
// change is trusted again only once the file proves to hold its
// serialisation. These files keep their identity through every rewrite, so
// the comparison alone decides: any byte that differs must be seen, by a read
// and by an edit, in every encoding; equal bytes keep the cached document.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/utf.h"
#include "platform/ini/document.h"
#include "platform/posix/frozen_identity.h"
#include "platform/profile_store.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

using namespace std::string_literals;
using orx::testing::FrozenIdentity;
using orx::testing::OverwriteInPlace;

class ProfileStoreRacyTest : public orx::testing::DataFolderTest {
 protected:
  std::u16string Path() const { return DecodePath(folder_.File("a.ini")); }

  Snapshot Load(ProfileStore& store) {
    Result<Snapshot> snapshot = store.Load(Path());
    EXPECT_TRUE(snapshot.ok()) << ::testing::PrintToString(snapshot.status());
    return snapshot.ok() ? *snapshot : std::make_shared<const ini::Document>();
  }
};

// Each pair has the same size, so only the bytes tell them apart.
struct Rewrite {
  const char* what;
  std::string before;
  std::string after;
};

const Rewrite kRewrites[] = {
    {"utf-8, unchanged", "[S]\nk=11\n", "[S]\nk=11\n"},
    {"utf-8, first byte", "[S]\nk=11\n", "{S]\nk=11\n"},
    {"utf-8, middle byte", "[S]\nk=11\n", "[S]\nj=11\n"},
    {"utf-8, last byte", "[S]\nk=11", "[S]\nk=12"},
    {"utf-8 turning into windows-1252", "[S]\nk=\xC3\xA9\n", "[S]\nk=\xC3\x29\n"},
    {"utf-8 with BOM and a stray byte, unchanged", "\xEF\xBB\xBF[S]\nk=\xFF\n",
     "\xEF\xBB\xBF[S]\nk=\xFF\n"},
    {"utf-8 with BOM, stray byte", "\xEF\xBB\xBF[S]\nk=\xFF\n", "\xEF\xBB\xBF[S]\nk=\xFE\n"},
    {"windows-1252, one letter", "[S]\nk=\xE9\n", "[S]\nk=\xE8\n"},
    {"utf-16le, unchanged", "\xFF\xFE[\0S\0]\0\n\0k\0=\0\x3D\xD8\x00\xDE"s,
     "\xFF\xFE[\0S\0]\0\n\0k\0=\0\x3D\xD8\x00\xDE"s},
    {"utf-16le, low surrogate", "\xFF\xFE[\0S\0]\0\n\0k\0=\0\x3D\xD8\x00\xDE"s,
     "\xFF\xFE[\0S\0]\0\n\0k\0=\0\x3D\xD8\x01\xDE"s},
    {"utf-16le, odd last byte",
     "\xFF\xFE[\0S\0]\0\n\0k\0=\0"
     "1\0\x01"s,
     "\xFF\xFE[\0S\0]\0\n\0k\0=\0"
     "1\0\x02"s},
    {"utf-16be, one unit",
     "\xFE\xFF\0[\0S\0]\0\n\0k\0=\0"
     "1"s,
     "\xFE\xFF\0[\0S\0]\0\n\0k\0=\0"
     "2"s},
};

TEST_F(ProfileStoreRacyTest, ReadKeepsTheDocumentOnlyWhileTheFileHoldsIt) {
  for (const Rewrite& c : kRewrites) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.before.size(), c.after.size());
    ProfileStore store;
    folder_.Write("a.ini", c.before);
    FrozenIdentity frozen(folder_.File("a.ini"));
    const Snapshot first = Load(store);
    OverwriteInPlace(folder_.File("a.ini"), c.after);
    const Snapshot second = Load(store);
    EXPECT_EQ(second == first, c.before == c.after);
    EXPECT_EQ(second->ToBytes(), c.after);
    EXPECT_EQ(second->FindValue(u"S", u"k"),
              ini::Document::FromBytes(c.after, PlatformEncodingRules()).FindValue(u"S", u"k"));
  }
}

// Under the writer lock the edit takes the racy cached document, moved out
// or copied while a reader holds it, only when the file holds it; else it
// starts from the file.
TEST_F(ProfileStoreRacyTest, EditStartsFromTheFileAsItIs) {
  for (const bool reader_holds : {false, true}) {
    for (const Rewrite& c : kRewrites) {
      SCOPED_TRACE(std::string(c.what) + (reader_holds ? ", reader holding" : ", no reader"));
      ProfileStore store;
      folder_.Write("a.ini", c.before);
      FrozenIdentity frozen(folder_.File("a.ini"));
      Snapshot held = Load(store);
      const std::optional<ini::TextView> held_value = held->FindValue(u"S", u"k");
      if (!reader_holds) held.reset();
      OverwriteInPlace(folder_.File("a.ini"), c.after);

      ASSERT_EQ(store.Edit(Path(),
                           [](ini::Document& document) {
                             return document.SetValue(u"S", u"added", u"1");
                           }),
                Status::kOk);
      ini::Document expected = ini::Document::FromBytes(c.after, PlatformEncodingRules());
      ASSERT_EQ(expected.SetValue(u"S", u"added", u"1"), Status::kOk);
      EXPECT_EQ(folder_.Read("a.ini"), expected.ToBytes());
      EXPECT_EQ(Load(store)->ToBytes(), expected.ToBytes());
      if (held) {
        EXPECT_EQ(held->FindValue(u"S", u"k"), held_value);  // the reader's snapshot stands
        EXPECT_FALSE(held->FindValue(u"S", u"added"));
      }
    }
  }
}

// A racy entry costs its document and nothing more: a bound that holds the
// document, but not the document and the file's bytes too, keeps it.
TEST_F(ProfileStoreRacyTest, RacyEntryCountsOnlyItsDocument) {
  std::string bytes = "[S]\nk=v\n";
  for (int key = 0; bytes.size() < 200'000; ++key) bytes += std::to_string(key) + "=\n";
  const size_t document = ini::Document::FromBytes(bytes, PlatformEncodingRules()).MemoryUsage();
  const size_t bound = document + document / 20;
  ASSERT_LT(bound, document + bytes.size());
  ProfileStore store(CacheBounds{.files = 4, .bytes = bound});
  folder_.Write("a.ini", bytes);
  FrozenIdentity frozen(folder_.File("a.ini"));
  const Snapshot first = Load(store);
  EXPECT_EQ(Load(store), first);
}

}  // namespace
}  // namespace orx::platform
