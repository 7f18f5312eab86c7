// The profile store: the process-wide cache of parsed settings files and the
// locked edit cycle, the same on every platform. What differs between
// platforms (reading a file with its identity, replacing it, the writer lock)
// lies behind file_system.h.
//
// The cache maps each path, as the caller spells it, to the document last
// parsed from that file and the file identity it was read at. A read makes
// one stat(); while the identity is unchanged the cached document is handed
// out as it is. A document read within a timestamp tick of its file's last
// change is marked racy: a second change in that tick could leave the
// identity as it was, so the next read compares the file with the cached
// document before trusting it once more. No copy of the file is kept for
// that: a document serialises to exactly the bytes it was parsed from or
// written as, so the file is compared, as it is read, with the document's
// serialisation, a chunk at a time. The comparison is exact and costs a read
// and one pass over the text, far less than a parse. Each thread also
// remembers its last cache hit (path, identity, document), so that
// re-reading one file while it stays unchanged takes neither the cache's
// lock nor a reference.
//
// An edit runs under the file's writer lock on the file as it is under that
// lock. It takes the cached document when the file still holds its
// serialisation, moving it out when no reader holds it (a copy costs about
// half a parse); the document is written out a chunk at a time as it is
// encoded and goes straight back into the cache. A reader that
// comes while the edit runs finds no entry and parses the file itself; the
// entry it leaves has the old identity and is replaced by the edit's.
#include "platform/profile_store.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "base/same_units.h"
#include "platform/file_system.h"
#include "platform/ini/document.h"
#include "platform/ini/serialisation_match.h"
#include "platform/recent_lookups.h"

namespace orx::platform {
namespace {

// Set on nearly every call: in an ELF shared object, the initial-exec model
// reaches it with one instruction instead of a call to __tls_get_addr, and
// four bytes fit the static TLS the loader keeps for libraries opened late.
#if defined(__ELF__)
__attribute__((tls_model("initial-exec")))
#endif
thread_local uint32_t last_error = 0;

using OwnedDocument = std::shared_ptr<ini::Document>;

bool IsMissing(Status status) {
  return status == Status::kFileNotFound || status == Status::kPathNotFound;
}

// Shared by every missing file; the extra reference held here means no
// edit ever takes it over.
const OwnedDocument& EmptyDocument() {
  static const OwnedDocument* empty =
      new OwnedDocument(std::make_shared<ini::Document>(PlatformEncodingRules()));
  return *empty;
}

}  // namespace

// What the calling thread last loaded: the path in both forms (converting
// is a pure function, so repeated reads of one file convert nothing) and the
// document it got, held here so that Borrow hands out a plain pointer. A
// document counts as a hit for the next load only when it came from a
// trusted cache entry and the file's identity is still the one it was
// trusted for: the very rule the cache applies, so a hit here is a hit there.
// Racy entries are never trusted, so they are never remembered as hits.
struct ProfileStore::ThreadMemo {
  uint64_t store = 0;  // the id of the store `document` came from
  std::u16string path;
  NativePath native_path;
  bool path_valid = false;
  uint64_t path_build = 0;  // the number `path` came with, 0 for none
  std::optional<FileIdentity> identity;
  Snapshot document;
  bool trusted = false;
  RecentLookups lookups;  // in `document`; cleared whenever it changes

  // Points the memo at `path`; false when `path` holds a NUL, which no file
  // name may.
  // `build` numbers the text as FindValue's `path_build` does.
  bool SetPath(std::u16string_view new_path, uint64_t build) {
    if (path_valid && build != 0 && build == path_build) return true;
    // Not char16_t's traits, which compare unit by unit: this runs on
    // every read.
    if (path_valid && new_path.size() == path.size() &&
        SameUnits(new_path.data(), path.data(), path.size())) [[likely]] {
      path_build = build;
      return true;
    }
    return ConvertPath(new_path, build);
  }
  [[gnu::noinline]] bool ConvertPath(std::u16string_view new_path, uint64_t build) {
    DropDocument();
    path_valid = false;
    path_build = build;
    Result<NativePath> native = ToNativePath(new_path);
    if (!native.ok()) return false;
    native_path = std::move(*native);
    path.assign(new_path);
    path_valid = true;
    return true;
  }
  void DropDocument() {
    document = nullptr;
    trusted = false;
    lookups.Clear();
  }
};

// The calling thread's memo, once it has one. The memo itself lives in a
// thread_local with a destructor, which a shared object reaches through
// __tls_get_addr and a guard on every use; this pointer is reached in one
// instruction (initial-exec, eight bytes of the static TLS the loader keeps
// for libraries opened late), so a read pays that cost once per thread.
#if defined(__ELF__)
__attribute__((tls_model("initial-exec")))
#endif
thread_local ProfileStore::ThreadMemo* ProfileStore::thread_memo_ = nullptr;

ProfileStore::ThreadMemo& ProfileStore::Memo() {
  if (ThreadMemo* memo = thread_memo_; memo != nullptr) [[likely]] {
    return *memo;
  }
  return FirstMemo();
}

ProfileStore::ThreadMemo& ProfileStore::FirstMemo() {
  thread_local ThreadMemo memo;
  thread_memo_ = &memo;
  return memo;
}

namespace {

// What the cache holds for one entry. Every size the bound counts comes from
// here: the memory the parsed document holds, as it reports it.
size_t CachedSize(const ini::Document& document) { return document.MemoryUsage(); }

// What comparing the file at `path` with `document`'s serialisation found,
// when the file holds exactly that; `size` is the size of the file the
// document was read from or written as, so another size is told at once.
std::optional<FileComparison> FileHolds(const NativePath& path, const ini::Document& document,
                                        int64_t size) {
  ini::SerialisationMatcher matcher(document);
  Result<FileComparison> compared =
      CompareWithFile(path, size, [&](std::string_view next) { return matcher.Feed(next); });
  if (!compared.ok() || !compared->same || !matcher.Matched()) return std::nullopt;
  return *compared;
}

// Units of text encoded per write: each write() costs the file system a
// fixed amount, which chunks of the comparison's size would pay a few
// hundred times for a large file; this stays under 1 MB in transit.
constexpr size_t kWriteChunkUnits = 256 * 1024;

// Writes `document` to `target` a chunk at a time as it is encoded: the
// file's bytes are never built whole, so a large write leaves no freed
// buffer of the file's size behind (the allocator tends to keep one). Text
// that cannot be encoded in chunks, which no document holds, is written
// whole, as ToBytes gives it.
Result<FileIdentity> ReplaceWithSerialisation(const NativePath& target,
                                              const ini::Document& document) {
  ini::SerialisationReader serialisation(document, kWriteChunkUnits);
  Result<FileIdentity> written = ReplaceFile(target, [&]() -> std::optional<std::string_view> {
    std::string_view next = serialisation.Next();
    if (serialisation.failed()) return std::nullopt;
    return next;
  });
  if (!serialisation.failed()) return written;
  return ReplaceFile(target, document.ToBytes());
}

}  // namespace

size_t ProfileStore::PathHash::operator()(std::u16string_view path) const {
  constexpr size_t kTailUnits = 16;
  uint64_t hash = 0xCBF29CE484222325ull ^ path.size();
  for (size_t i = path.size() > kTailUnits ? path.size() - kTailUnits : 0; i < path.size(); ++i) {
    hash = (hash ^ path[i]) * 0x100000001B3ull;
  }
  return static_cast<size_t>(hash ^ (hash >> 32));
}

Snapshot ProfileStore::TrustedDocument(std::u16string_view path,
                                       const std::optional<FileIdentity>& identity) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = entries_.find(path);
  if (it == entries_.end()) return nullptr;
  Entry& entry = it->second;
  if (entry.racy || entry.identity != identity) return nullptr;
  entry.last_used = ++use_clock_;
  return entry.document;
}

std::pair<OwnedDocument, int64_t> ProfileStore::RacyDocument(std::u16string_view path) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = entries_.find(path);
  if (it == entries_.end() || !it->second.racy || !it->second.identity) return {};
  return {it->second.document, it->second.identity->size};
}

bool ProfileStore::TakeDocument(std::u16string_view path, const FileIdentity* identity,
                                OwnedDocument* compared, Working& working) {
  OwnedDocument document;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = entries_.find(path);
    if (it == entries_.end()) return false;
    Entry& entry = it->second;
    if (identity != nullptr && (entry.racy || entry.identity != *identity)) return false;
    if (compared != nullptr) {
      if (entry.document != *compared) return false;
      // Under the lock no reader can take a new reference from the table.
      compared->reset();
    }
    if (entry.document.use_count() != 1) {
      // A reader holds it: copy it, outside the lock, and leave it cached
      // for the readers that come while the edit runs.
      working.source = entry.document;
    } else {
      document = std::move(entry.document);
      cached_bytes_ -= entry.counted;
      entries_.erase(it);
    }
  }
  if (working.source) {
    working.document = ini::Document(*working.source);
    return true;
  }
  // Out of the table no one can take a new reference, so the count of 1 seen
  // above stays 1. That relaxed read orders nothing, though: readers drop
  // their references without the lock. Dropping a copy is an acquire-release
  // decrement of the same count, which reads the value left by the last
  // reader's decrement (a release; the copy's increment continues its release
  // sequence), so every reader's last access happens before the move below.
  { OwnedDocument witness = document; }
  working.document = std::move(*document);
  return true;
}

uint64_t ProfileStore::NextStoreId() {
  static std::atomic<uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

// Inline in both callers: a hit is a path comparison, the stat() and an
// identity comparison, with no call beyond the stat's own.
inline Result<const ini::Document*> ProfileStore::BorrowWith(ThreadMemo& memo,
                                                             std::u16string_view path,
                                                             uint64_t path_build) {
  if (path.empty()) return Status::kAccessDenied;  // what an empty file name gives on Windows
  if (!memo.SetPath(path, path_build)) return Status::kInvalidName;
  Result<FileIdentity> now = StatFile(memo.native_path);
  if (now.ok() && memo.trusted && memo.store == id_ && memo.identity && *memo.identity == *now)
      [[likely]] {
    return memo.document.get();
  }
  return BorrowAfterStat(memo, path, now);
}

Result<const ini::Document*> ProfileStore::BorrowAfterStat(ThreadMemo& memo,
                                                           std::u16string_view path,
                                                           const Result<FileIdentity>& now) {
  std::optional<FileIdentity> identity;
  if (now.ok()) {
    identity = *now;
  } else if (!IsMissing(now.status())) {
    memo.DropDocument();
    return now.status();
  }
  if (memo.trusted && memo.store == id_ && memo.identity == identity) return memo.document.get();

  memo.DropDocument();  // before the load, so an edit may take the document over
  bool trusted = false;
  Result<Snapshot> loaded = LoadAt(path, memo.native_path, identity, trusted);
  if (!loaded.ok()) return loaded.status();
  memo.store = id_;
  memo.identity = identity;
  memo.document = std::move(*loaded);
  memo.trusted = trusted;
  return memo.document.get();
}

Result<const ini::Document*> ProfileStore::Borrow(std::u16string_view path) {
  return BorrowWith(Memo(), path);
}

const ini::Document* ProfileStore::CurrentDocument(std::u16string_view path, uint64_t path_build) {
  Result<const ini::Document*> document = BorrowWith(Memo(), path, path_build);
  return document.ok() ? *document : nullptr;
}

Result<std::optional<ini::TextView>> ProfileStore::FindValue(std::u16string_view path,
                                                             std::u16string_view section,
                                                             std::u16string_view key,
                                                             uint64_t path_build) {
  ThreadMemo& memo = Memo();
  Result<const ini::Document*> document = BorrowWith(memo, path, path_build);
  if (!document.ok()) return document.status();
  if (const RecentLookups::Value* known = memo.lookups.Find(section, key)) return *known;
  const RecentLookups::Value value = (*document)->FindValue(section, key);
  memo.lookups.Remember(section, key, value);
  return value;
}

Result<Snapshot> ProfileStore::Load(std::u16string_view path) {
  Result<const ini::Document*> borrowed = Borrow(path);
  if (!borrowed.ok()) return borrowed.status();
  return Memo().document;
}

Result<Snapshot> ProfileStore::LoadAt(std::u16string_view path, const NativePath& file_path,
                                      const std::optional<FileIdentity>& identity, bool& trusted) {
  if (Snapshot cached = TrustedDocument(path, identity)) {
    trusted = true;
    return cached;
  }
  if (!identity) {
    Remember(path, std::nullopt, false, EmptyDocument());
    return Snapshot(EmptyDocument());
  }
  return Reload(path, file_path);
}

Result<Snapshot> ProfileStore::Reload(std::u16string_view path, const NativePath& file_path) {
  // A racy entry is most often still the file's document: comparing the
  // file with its serialisation as the file is read spares a parse.
  if (auto [document, size] = RacyDocument(path); document) {
    if (std::optional<FileComparison> held = FileHolds(file_path, *document, size)) {
      Remember(path, held->identity, IsRacilyClean(held->identity, held->read_started_ns),
               document);
      return Snapshot(std::move(document));
    }
  }
  Result<FileContents> contents = ReadWholeFile(file_path);
  if (!contents.ok()) {
    if (!IsMissing(contents.status())) return contents.status();
    Remember(path, std::nullopt, false, EmptyDocument());
    return Snapshot(EmptyDocument());
  }
  bool racy = IsRacilyClean(contents->identity, contents->read_started_ns);
  // An ASCII file's bytes become the document's text; other bytes go before
  // the document is cached, so the two are never held together longer than
  // the parse needs.
  auto document = std::make_shared<ini::Document>(
      ini::Document::FromOwnedBytes(std::move(contents->bytes), PlatformEncodingRules()));
  contents->bytes = std::string();
  Remember(path, contents->identity, racy, document);
  return Snapshot(std::move(document));
}

Result<ProfileStore::Working> ProfileStore::ReadForEdit(std::u16string_view path,
                                                        const NativePath& target) {
  // Under the lock no cooperating writer can change the file, so a cached
  // document of the same identity is the file's content and the file is not
  // read at all. A racy one is taken only once the file, read under the
  // lock, proves to hold its serialisation; most often those are the bytes
  // written here a moment ago, re-read only because the write was too recent
  // to trust its identity.
  Working working;
  Result<FileIdentity> now = StatFile(target);
  if (now.ok()) {
    if (TakeDocument(path, &*now, nullptr, working)) {
      working.identity = *now;
      return working;
    }
  } else if (!IsMissing(now.status())) {
    return now.status();
  }
  if (auto [cached, size] = RacyDocument(path); cached) {
    std::optional<FileComparison> held = FileHolds(target, *cached, size);
    if (held && TakeDocument(path, nullptr, &cached, working)) {
      working.identity = held->identity;
      working.racy = IsRacilyClean(held->identity, held->read_started_ns);
      return working;
    }
  }
  Result<FileContents> contents = ReadWholeFile(target);
  if (!contents.ok()) {
    if (IsMissing(contents.status())) {
      Working missing;
      missing.document = ini::Document(PlatformEncodingRules());
      return missing;
    }
    // A file that exists but cannot be read is never replaced: writing the
    // edit over it would throw away everything it holds.
    Forget(path);
    return contents.status();
  }
  working.identity = contents->identity;
  working.racy = IsRacilyClean(contents->identity, contents->read_started_ns);
  working.document =
      ini::Document::FromOwnedBytes(std::move(contents->bytes), PlatformEncodingRules());
  return working;
}

Status ProfileStore::Commit(std::u16string_view path, const NativePath& target,
                            ini::Document&& document) {
  RemoveAbandonedTemporaries(target);
  Result<FileIdentity> written = ReplaceWithSerialisation(target, document);
  if (!written.ok()) {
    Forget(path);
    return written.status();
  }
  // Written just now: racy unless the platform dated the file so that a
  // change in this same tick still shows.
  Remember(path, *written, IsRacilyWritten(*written),
           std::make_shared<ini::Document>(std::move(document)));
  return Status::kOk;
}

void ProfileStore::KeepUnwritten(std::u16string_view path, Working&& working) {
  if (!working.identity) {
    Remember(path, std::nullopt, false, EmptyDocument());
  } else if (working.source) {
    // Still cached unless evicted meanwhile; putting it back costs nothing.
    Remember(path, working.identity, working.racy, std::move(working.source));
  } else if (!working.document.changed()) {
    Remember(path, working.identity, working.racy,
             std::make_shared<ini::Document>(std::move(working.document)));
  }
  // Else a refused edit had changed the document: it is not the file's.
}

Status ProfileStore::Edit(std::u16string_view path,
                          const std::function<Status(ini::Document&)>& edit) {
  if (path.empty()) return Status::kAccessDenied;
  // The thread's memo would hold the cached document, and a held document
  // is copied rather than taken over.
  Memo().DropDocument();
  Result<NativePath> native = ToNativePath(path);
  if (!native.ok()) return native.status();
  Result<NativePath> target = ResolveTarget(*native);
  if (!target.ok()) return target.status();

  // A missing file is first edited as an empty document without the lock:
  // an edit that changes nothing (a delete) then leaves no trace, not even a
  // lock file. Only when the file appears meanwhile does the edit run again.
  std::optional<ini::Document> draft;
  Result<FileIdentity> before = StatFile(*target);
  if (!before.ok()) {
    if (!IsMissing(before.status())) return before.status();
    draft.emplace(PlatformEncodingRules());
    Status status = edit(*draft);
    if (status != Status::kOk || !draft->changed()) return status;
  }

  Result<WriterLock> lock = WriterLock::Acquire(*target);
  if (!lock.ok()) return lock.status();
  if (draft) {
    Result<FileIdentity> now = StatFile(*target);
    if (!now.ok() && IsMissing(now.status())) return Commit(path, *target, std::move(*draft));
    if (!now.ok()) return now.status();
  }
  Result<Working> working = ReadForEdit(path, *target);
  if (!working.ok()) return working.status();
  Status status = edit(working->document);
  if (status == Status::kOk && working->document.changed()) {
    return Commit(path, *target, std::move(working->document));
  }
  KeepUnwritten(path, std::move(*working));
  return status;
}

void ProfileStore::Remember(std::u16string_view path, std::optional<FileIdentity> identity,
                            bool racy, OwnedDocument document) {
  size_t counted = CachedSize(*document);
  if (counted > bounds_.bytes) {
    Forget(path);
    return;
  }
  // Freeing a large document takes milliseconds: the replaced one is
  // released after the lock, so readers of other files do not wait for it.
  OwnedDocument replaced;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = entries_.find(path);
  if (it == entries_.end()) it = entries_.emplace(std::u16string(path), Entry{}).first;
  Entry& entry = it->second;
  cached_bytes_ = cached_bytes_ - entry.counted + counted;
  entry.identity = identity;
  entry.racy = racy;
  replaced = std::exchange(entry.document, std::move(document));
  entry.counted = counted;
  entry.last_used = ++use_clock_;
  EvictIfFull();
}

void ProfileStore::Forget(std::u16string_view path) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = entries_.find(path);
  if (it == entries_.end()) return;
  cached_bytes_ -= it->second.counted;
  entries_.erase(it);
}

void ProfileStore::EvictIfFull() {
  // A linear search for the oldest entry: eviction is rare and the table
  // small, so a recency list would cost more on every hit than it saves here.
  while (entries_.size() > bounds_.files || cached_bytes_ > bounds_.bytes) {
    auto oldest = std::min_element(entries_.begin(), entries_.end(), [](auto& a, auto& b) {
      return a.second.last_used < b.second.last_used;
    });
    cached_bytes_ -= oldest->second.counted;
    entries_.erase(oldest);
  }
}

ProfileStore& DefaultProfileStore() {
  // Never destroyed: other threads and exit handlers may read settings
  // while static destructors run.
  static ProfileStore* store = new ProfileStore;
  return *store;
}

uint32_t LastError() { return last_error; }

void SetLastError(uint32_t error) { last_error = error; }

}  // namespace orx::platform
