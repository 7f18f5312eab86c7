// The POSIX profile store: the process-wide cache of parsed settings files
// and the locked edit cycle.
//
// The cache maps each path, as the caller spells it, to the document last
// parsed from that file and the file identity it was parsed at. A read makes
// one stat(); while the identity is unchanged the cached document is handed
// out as it is. A document read within a timestamp tick of its file's last
// change is marked racy: a second change in that tick could leave the
// identity as it was, so the next read compares the file's bytes again
// (by hash) before trusting the document once more.
//
// An edit runs under the file's writer lock on the file as it is under that
// lock, and the written document goes straight into the cache.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/utf.h"
#include "platform/ini/document.h"
#include "platform/posix/atomic_replace.h"
#include "platform/posix/file_io.h"
#include "platform/posix/file_lock.h"
#include "platform/profile_store.h"

namespace orx::platform {
namespace {

// The product keeps about ten settings files; the bounds only keep a caller
// that walks many files from holding them all.
constexpr size_t kMaxCachedFiles = 64;
constexpr size_t kMaxCachedBytes = size_t{256} << 20;

constexpr Status kInvalidName = static_cast<Status>(123);  // ERROR_INVALID_NAME

thread_local uint32_t last_error = 0;

bool IsMissing(Status status) {
  return status == Status::kFileNotFound || status == Status::kPathNotFound;
}

uint64_t HashBytes(std::string_view bytes) { return std::hash<std::string_view>{}(bytes); }

const Snapshot& EmptySnapshot() {
  static const Snapshot* empty = new Snapshot(std::make_shared<const ini::Document>());
  return *empty;
}

struct PathHash {
  using is_transparent = void;
  size_t operator()(std::u16string_view path) const {
    return std::hash<std::u16string_view>{}(path);
  }
};

class PosixProfileStore final : public ProfileStore {
 public:
  Result<Snapshot> Load(std::u16string_view path) override;
  Status Edit(std::u16string_view path, const std::function<Status(ini::Document&)>& edit) override;

 private:
  struct Entry {
    std::string file_path;                 // the path as the file system takes it
    std::optional<FileIdentity> identity;  // nullopt: the file was missing
    Snapshot document;
    uint64_t content_hash = 0;
    size_t size = 0;
    bool racy = false;
    uint64_t last_used = 0;
  };

  // The file-system path of `path`, from the cache when it is known.
  void FilePathOf(std::u16string_view path, std::string& out);
  // The cached document when it may be trusted for a file of `identity`.
  Snapshot TrustedDocument(std::u16string_view path, const std::optional<FileIdentity>& identity);
  // The cached document when it was parsed from bytes of this hash and size.
  Snapshot DocumentWithContent(std::u16string_view path, uint64_t content_hash, size_t size);
  // Reads and parses the file, reusing the cached document when the bytes
  // have not changed.
  Result<Snapshot> Reload(std::u16string_view path, const std::string& file_path);
  // The working copy an edit starts from, read under the writer lock.
  Result<ini::Document> ReadForEdit(std::u16string_view path, const std::string& file_path,
                                    const std::string& target);
  Status Commit(std::u16string_view path, const std::string& file_path, const std::string& target,
                ini::Document&& document);

  void Remember(std::u16string_view path, const std::string& file_path,
                std::optional<FileIdentity> identity, bool racy, Snapshot document,
                uint64_t content_hash, size_t size);
  void Forget(std::u16string_view path);
  void EvictIfFull();

  std::mutex mutex_;
  std::unordered_map<std::u16string, Entry, PathHash, std::equal_to<>> entries_;
  size_t cached_bytes_ = 0;
  uint64_t use_clock_ = 0;
};

void PosixProfileStore::FilePathOf(std::u16string_view path, std::string& out) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = entries_.find(path);
    if (it != entries_.end()) {
      out.assign(it->second.file_path);
      return;
    }
  }
  out = EncodePath(path);
}

Snapshot PosixProfileStore::TrustedDocument(std::u16string_view path,
                                            const std::optional<FileIdentity>& identity) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = entries_.find(path);
  if (it == entries_.end()) return nullptr;
  Entry& entry = it->second;
  if (entry.racy || entry.identity != identity) return nullptr;
  entry.last_used = ++use_clock_;
  return entry.document;
}

Snapshot PosixProfileStore::DocumentWithContent(std::u16string_view path, uint64_t content_hash,
                                                size_t size) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = entries_.find(path);
  if (it == entries_.end() || !it->second.identity) return nullptr;
  const Entry& entry = it->second;
  return entry.size == size && entry.content_hash == content_hash ? entry.document : nullptr;
}

Result<Snapshot> PosixProfileStore::Load(std::u16string_view path) {
  if (path.empty()) return Status::kAccessDenied;  // what an empty file name gives on Windows
  if (path.find(u'\0') != std::u16string_view::npos) return kInvalidName;
  // Reused between calls so that a cached read allocates nothing.
  thread_local std::string file_path;
  FilePathOf(path, file_path);

  std::optional<FileIdentity> identity;
  if (Result<FileIdentity> now = StatFile(file_path); now.ok()) {
    identity = *now;
  } else if (!IsMissing(now.status())) {
    return now.status();
  }
  if (Snapshot cached = TrustedDocument(path, identity)) return cached;
  if (!identity) {
    Remember(path, file_path, std::nullopt, false, EmptySnapshot(), 0, 0);
    return EmptySnapshot();
  }
  return Reload(path, file_path);
}

Result<Snapshot> PosixProfileStore::Reload(std::u16string_view path, const std::string& file_path) {
  Result<FileContents> contents = ReadWholeFile(file_path);
  if (!contents.ok()) {
    if (!IsMissing(contents.status())) return contents.status();
    Remember(path, file_path, std::nullopt, false, EmptySnapshot(), 0, 0);
    return EmptySnapshot();
  }
  const std::string& bytes = contents->bytes;
  uint64_t hash = HashBytes(bytes);
  bool racy = IsRacilyClean(contents->identity, contents->read_started_ns);

  Snapshot document = DocumentWithContent(path, hash, bytes.size());
  if (!document) document = std::make_shared<const ini::Document>(ini::Document::FromBytes(bytes));
  Remember(path, file_path, contents->identity, racy, document, hash, bytes.size());
  return document;
}

Result<ini::Document> PosixProfileStore::ReadForEdit(std::u16string_view path,
                                                     const std::string& file_path,
                                                     const std::string& target) {
  // Under the lock no cooperating writer can change the file, so a cached
  // document of the same identity is the file's content; anything else is
  // read afresh.
  Result<FileIdentity> now = StatFile(target);
  if (now.ok()) {
    if (Snapshot cached = TrustedDocument(path, *now)) return ini::Document(*cached);
  } else if (!IsMissing(now.status())) {
    return now.status();
  }
  Result<FileContents> contents = ReadWholeFile(target);
  if (!contents.ok()) {
    if (IsMissing(contents.status())) return ini::Document();
    // A file that exists but cannot be read is never replaced: writing the
    // edit over it would throw away everything it holds.
    Forget(path);
    return contents.status();
  }
  // Most often the bytes are those last written here, re-read only because
  // the write was too recent to trust its identity: a copy then serves.
  const std::string& bytes = contents->bytes;
  uint64_t hash = HashBytes(bytes);
  Snapshot document = DocumentWithContent(path, hash, bytes.size());
  if (!document) document = std::make_shared<const ini::Document>(ini::Document::FromBytes(bytes));
  Remember(path, file_path, contents->identity,
           IsRacilyClean(contents->identity, contents->read_started_ns), document, hash,
           bytes.size());
  return ini::Document(*document);
}

Status PosixProfileStore::Commit(std::u16string_view path, const std::string& file_path,
                                 const std::string& target, ini::Document&& document) {
  RemoveAbandonedTemporaries(target);
  std::string bytes = document.ToBytes();
  Result<FileIdentity> written = ReplaceFile(target, bytes);
  if (!written.ok()) {
    Forget(path);
    return written.status();
  }
  // Written just now, so racy by definition: an editor changing the file in
  // this same tick would leave the identity as it is.
  Remember(path, file_path, *written, IsRacilyClean(*written, NowNs()),
           std::make_shared<const ini::Document>(std::move(document)), HashBytes(bytes),
           bytes.size());
  return Status::kOk;
}

Status PosixProfileStore::Edit(std::u16string_view path,
                               const std::function<Status(ini::Document&)>& edit) {
  if (path.empty()) return Status::kAccessDenied;
  if (path.find(u'\0') != std::u16string_view::npos) return kInvalidName;
  std::string file_path = EncodePath(path);
  Result<std::string> target = ResolveLinks(file_path);
  if (!target.ok()) return target.status();

  // A missing file is first edited as an empty document without the lock:
  // an edit that changes nothing (a delete) then leaves no trace, not even a
  // lock file. Only when the file appears meanwhile does the edit run again.
  std::optional<ini::Document> draft;
  Result<FileIdentity> before = StatFile(*target);
  if (!before.ok()) {
    if (!IsMissing(before.status())) return before.status();
    draft.emplace();
    Status status = edit(*draft);
    if (status != Status::kOk || !draft->changed()) return status;
  }

  Result<WriterLock> lock = WriterLock::Acquire(*target);
  if (!lock.ok()) return lock.status();
  if (draft) {
    Result<FileIdentity> now = StatFile(*target);
    if (!now.ok() && IsMissing(now.status())) {
      return Commit(path, file_path, *target, std::move(*draft));
    }
    if (!now.ok()) return now.status();
  }
  Result<ini::Document> working = ReadForEdit(path, file_path, *target);
  if (!working.ok()) return working.status();
  Status status = edit(*working);
  if (status != Status::kOk || !working->changed()) return status;
  return Commit(path, file_path, *target, std::move(*working));
}

void PosixProfileStore::Remember(std::u16string_view path, const std::string& file_path,
                                 std::optional<FileIdentity> identity, bool racy, Snapshot document,
                                 uint64_t content_hash, size_t size) {
  if (size > kMaxCachedBytes / 4) {
    Forget(path);
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = entries_.find(path);
  if (it == entries_.end()) it = entries_.emplace(std::u16string(path), Entry{}).first;
  Entry& entry = it->second;
  cached_bytes_ -= entry.size;
  entry.file_path = file_path;
  entry.identity = identity;
  entry.racy = racy;
  entry.document = std::move(document);
  entry.content_hash = content_hash;
  entry.size = size;
  entry.last_used = ++use_clock_;
  cached_bytes_ += size;
  EvictIfFull();
}

void PosixProfileStore::Forget(std::u16string_view path) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = entries_.find(path);
  if (it == entries_.end()) return;
  cached_bytes_ -= it->second.size;
  entries_.erase(it);
}

void PosixProfileStore::EvictIfFull() {
  // A linear search for the oldest entry: eviction is rare and the table
  // small, so a recency list would cost more on every hit than it saves here.
  while (entries_.size() > kMaxCachedFiles || cached_bytes_ > kMaxCachedBytes) {
    auto oldest = std::min_element(entries_.begin(), entries_.end(), [](auto& a, auto& b) {
      return a.second.last_used < b.second.last_used;
    });
    cached_bytes_ -= oldest->second.size;
    entries_.erase(oldest);
  }
}

}  // namespace

ProfileStore& DefaultProfileStore() {
  // Never destroyed: other threads and exit handlers may read settings
  // while static destructors run.
  static PosixProfileStore* store = new PosixProfileStore;
  return *store;
}

uint32_t LastError() { return last_error; }

void SetLastError(uint32_t error) { last_error = error; }

}  // namespace orx::platform
