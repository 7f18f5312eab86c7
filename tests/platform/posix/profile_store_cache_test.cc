// The store's cache as a budget: what its bound counts, what a refused or
// empty edit leaves cached, and which files an edit reads. Each test uses a
// store of its own, so the bounds can be small and no other test's entries
// count against them.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/utf.h"
#include "platform/ini/document.h"
#include "platform/posix/syscalls.h"
#include "platform/profile_store.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

using namespace std::chrono_literals;

// Longer than any timestamp tick the store allows for on a local disk.
constexpr auto kPastTheTick = 30ms;
constexpr size_t kKiB = 1024;

std::vector<std::string> opened;

// Records the path of every open() while it lives.
struct RecordingOpens {
  ScopedSyscall<int (*)(const char*, int, mode_t)> open{
      &SyscallTable::open, +[](const char* path, int flags, mode_t mode) {
        opened.emplace_back(path);
        return RealSyscalls().open(path, flags, mode);
      }};
  RecordingOpens() { opened.clear(); }
  int Count(const std::string& path) const {
    return static_cast<int>(std::count(opened.begin(), opened.end(), path));
  }
};

class ProfileStoreCacheTest : public orx::testing::DataFolderTest {
 protected:
  std::u16string Path(const std::string& name) const { return DecodePath(folder_.File(name)); }

  // A file of about `size` bytes of short entries, each key its own: the
  // shape whose parse holds most per file byte.
  static std::string LineDense(const std::string& name, size_t size) {
    std::string bytes = "[S]\nk=" + name + "\n";
    for (size_t key = 0; bytes.size() < size; ++key) bytes += std::to_string(key) + "=\n";
    return bytes;
  }

  // What the cache counts for a file of that shape: the parsed document.
  static size_t Counted(const std::string& name, size_t size) {
    return ini::Document::FromBytes(LineDense(name, size)).MemoryUsage();
  }

  Snapshot Load(ProfileStore& store, const std::string& name) {
    Result<Snapshot> snapshot = store.Load(Path(name));
    EXPECT_TRUE(snapshot.ok()) << ::testing::PrintToString(snapshot.status());
    if (!snapshot.ok()) return nullptr;
    // Every load, cached or not, must give the file's content.
    EXPECT_EQ((*snapshot)->FindValue(u"S", u"k"),
              std::optional<std::u16string_view>(DecodePath(name)));
    return *snapshot;
  }
};

// The bound counts the parsed documents, not the file bytes: files far under
// the bound by their size can still not all be held.
TEST_F(ProfileStoreCacheTest, BoundCountsWhatTheCacheHolds) {
  struct Case {
    const char* what;
    std::vector<size_t> sizes;  // files loaded in this order, then each once more
    double bound_in_documents;  // the bound, in units of the largest document
    std::vector<bool> cached;   // whether the second load of each was a hit
  };
  const Case cases[] = {
      {"small files all fit", {1 * kKiB, 2 * kKiB, 3 * kKiB}, 4.0, {true, true, true}},
      {"two documents of two thirds of the bound each do not fit together",
       {200 * kKiB, 200 * kKiB},
       1.5,
       {false, true}},
      {"a document larger than the bound is never cached", {200 * kKiB}, 0.8, {false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> names;
    size_t largest = 0;
    for (size_t i = 0; i < c.sizes.size(); ++i) {
      names.push_back(std::string(c.what).substr(0, 3) + std::to_string(i) + ".ini");
      folder_.Write(names.back(), LineDense(names.back(), c.sizes[i]));
      largest = std::max(largest, Counted(names.back(), c.sizes[i]));
    }
    // Far less memory than the documents count, by file bytes.
    ASSERT_GT(largest, 2 * c.sizes.back());
    ProfileStore store(
        CacheBounds{.files = 64, .bytes = static_cast<size_t>(c.bound_in_documents * largest)});
    std::this_thread::sleep_for(kPastTheTick);
    std::vector<Snapshot> first;
    for (const std::string& name : names) first.push_back(Load(store, name));
    for (size_t i = 0; i < names.size(); ++i) {
      // Loaded from the last to the first, so a hit is never made a miss by
      // the reload of a file loaded before it.
      size_t j = names.size() - 1 - i;
      RecordingOpens recording;
      Snapshot again = Load(store, names[j]);
      EXPECT_EQ(recording.Count(folder_.File(names[j])) == 0, c.cached[j]) << names[j];
      EXPECT_EQ(again == first[j], c.cached[j]) << names[j];
    }
  }
}

// An edit that writes nothing, refused or not, leaves the cache as it was:
// the next read neither opens nor parses the file.
TEST_F(ProfileStoreCacheTest, EditThatWritesNothingKeepsTheCachedDocument) {
  struct Case {
    const char* what;
    bool reader_holds_snapshot;
    Status returned;
    bool edit_changes_document;
    bool kept;
  };
  const Case cases[] = {
      {"refused, reader holding", true, Status::kNoMoreItems, false, true},
      {"refused, no reader", false, Status::kNoMoreItems, false, true},
      {"unchanged, reader holding", true, Status::kOk, false, true},
      {"unchanged, no reader", false, Status::kOk, false, true},
      {"refused after a change, reader holding", true, Status::kNoMoreItems, true, true},
      {"refused after a change, no reader", false, Status::kNoMoreItems, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ProfileStore store;
    folder_.Write("a.ini", "[S]\nk=a.ini\n");
    std::this_thread::sleep_for(kPastTheTick);
    Snapshot held = Load(store, "a.ini");
    const ini::Document* before = held.get();
    if (!c.reader_holds_snapshot) held.reset();

    Status status = store.Edit(Path("a.ini"), [&](ini::Document& document) {
      if (c.edit_changes_document) {
        EXPECT_EQ(document.SetValue(u"S", u"k", u"x"), Status::kOk);
      }
      return c.returned;
    });
    EXPECT_EQ(status, c.returned);
    EXPECT_EQ(folder_.Read("a.ini"), "[S]\nk=a.ini\n");

    RecordingOpens recording;
    Snapshot after = Load(store, "a.ini");
    EXPECT_EQ(recording.Count(folder_.File("a.ini")) == 0, c.kept);
    if (c.reader_holds_snapshot) {
      EXPECT_EQ(after.get(), before);
    }
  }
}

// Under the writer lock, a file whose identity is that of the cached parse
// is not read again: the edit starts from the cached document.
TEST_F(ProfileStoreCacheTest, EditOfAnUnchangedFileDoesNotReadIt) {
  for (bool reader_holds_snapshot : {false, true}) {
    SCOPED_TRACE(reader_holds_snapshot ? "reader holding" : "no reader");
    ProfileStore store;
    folder_.Write("a.ini", "[S]\nk=a.ini\n");
    std::this_thread::sleep_for(kPastTheTick);
    Snapshot held = Load(store, "a.ini");
    if (!reader_holds_snapshot) held.reset();

    RecordingOpens recording;
    ASSERT_EQ(
        store.Edit(Path("a.ini"),
                   [](ini::Document& document) { return document.SetValue(u"S", u"n", u"1"); }),
        Status::kOk);
    EXPECT_EQ(recording.Count(folder_.File("a.ini")), 0);
    EXPECT_EQ(folder_.Read("a.ini"), "[S]\nk=a.ini\nn=1\n");
    if (held) {
      EXPECT_FALSE(held->FindValue(u"S", u"n"));  // the reader's snapshot stands
    }
  }
}

// Readers drop their snapshots without the store's lock while an editor
// takes over documents no reader holds any more. Each reader must see the
// counter never go back; under ThreadSanitizer, the hand-over must order
// every reader's last access before the editor's changes.
TEST_F(ProfileStoreCacheTest, EditorTakesOverDocumentsReadersHaveDropped) {
  constexpr int kReaders = 3;
  constexpr int kEdits = 80;
  ProfileStore store;
  folder_.Write("a.ini", "[S]\nn=0\n");
  std::atomic<bool> done{false};
  std::atomic<int> regressions{0};
  std::vector<std::thread> readers;
  for (int r = 0; r < kReaders; ++r) {
    readers.emplace_back([&] {
      int last = 0;
      while (!done) {
        Result<Snapshot> snapshot = store.Load(Path("a.ini"));
        if (!snapshot.ok()) continue;
        std::optional<ini::TextView> value = (*snapshot)->FindValue(u"S", u"n");
        int n = value ? std::stoi(EncodePath(value->ToU16())) : -1;
        if (n < last) ++regressions;
        last = n;
      }
    });
  }
  for (int i = 1; i <= kEdits; ++i) {
    ASSERT_EQ(store.Edit(Path("a.ini"),
                         [&](ini::Document& document) {
                           return document.SetValue(u"S", u"n", DecodePath(std::to_string(i)));
                         }),
              Status::kOk);
  }
  done = true;
  for (std::thread& reader : readers) reader.join();
  EXPECT_EQ(regressions, 0);
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\nn=" + std::to_string(kEdits) + "\n");
}

}  // namespace
}  // namespace orx::platform
