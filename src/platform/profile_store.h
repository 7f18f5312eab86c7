// The settings-file store: the one door through which the library reads and
// writes INI files. Everything above the platform layer reaches it through
// the frame's profile wrappers (frame/profile.h).
//
// One implementation for every platform (profile_store.cc), over the narrow
// file interface of file_system.h that each platform implements. The class is
// not virtual: the build chooses the platform, so no call pays for an
// indirection, and faults are injected below, at the POSIX system-call table.
//
// Guarantees:
//   - A read sees the file as it is now: a cached document is used only while
//     the file's identity (volume, file id, size, modification and change
//     times in nanoseconds) is unchanged and the document was not read within the
//     file system's timestamp granularity of its last change.
//   - A write is atomic: the new file is built in a temporary file in the same
//     folder, flushed, and renamed over the old one; a failed or killed write
//     leaves the old file and no temporary file. Mode and symbolic links are
//     kept (the link's target is replaced).
//   - Writers of one file, in threads or processes, are serialised by a
//     kernel lock on a companion lock file, and each edit re-reads the file
//     under that lock, so no update is lost. Readers take no lock.
#ifndef ORX_PLATFORM_PROFILE_STORE_H_
#define ORX_PLATFORM_PROFILE_STORE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "base/result.h"
#include "base/status.h"
#include "platform/file_system.h"
#include "platform/ini/document.h"

namespace orx::platform {

// A parsed file at one moment. Immutable and shared: it stays valid however
// the file changes afterwards.
using Snapshot = std::shared_ptr<const ini::Document>;

// What the cache may hold: at most `files` entries and `bytes` of cached
// memory, the parsed documents as they report their size. No file bytes are
// kept: a document read too soon after its file's change is checked against
// the file by its own serialisation. A file whose parsed document exceeds
// `bytes` is read and parsed on every call.
struct CacheBounds {
  size_t files = 64;
  size_t bytes = size_t{256} << 20;
};

class ProfileStore {
 public:
  ProfileStore() : ProfileStore(CacheBounds{}) {}
  explicit ProfileStore(CacheBounds bounds) : bounds_(bounds) {}
  ProfileStore(const ProfileStore&) = delete;
  ProfileStore& operator=(const ProfileStore&) = delete;

  // The document of the file at `path` (UTF-16; see DecodePath). A missing
  // file or folder gives an empty document. A file that exists but cannot be
  // read gives the error (5 access denied, an I/O error's number, ...).
  Result<Snapshot> Load(std::u16string_view path);

  // Load without a reference for the caller: the document is held for the
  // calling thread and stays valid until the thread's next Load, Borrow or
  // Edit on any store. While the file's identity stays as it was at the last
  // cache hit, a repeated Borrow of one path is a stat() and a comparison: no
  // lock, no table lookup, no reference count.
  Result<const ini::Document*> Borrow(std::u16string_view path);

  // What Borrow gives, or null where it gives an error: for a caller that
  // only asks whether the file's document is still one it knows, on every
  // step of a walk. A nonzero `path_build` numbers `path` as FindValue's does.
  const ini::Document* CurrentDocument(std::u16string_view path, uint64_t path_build = 0);

  // Borrow, then the value as Document::FindValue gives it. The calling
  // thread remembers its last lookups in the document it borrowed, so a
  // setting read again while its file is unchanged costs the stat() and a
  // comparison of the names. A nonzero `path_build` numbers the text of
  // `path` for the calling thread (the frame's ThreadPath): the thread's
  // last path of the same number is taken as equal without comparing it.
  Result<std::optional<ini::TextView>> FindValue(std::u16string_view path,
                                                 std::u16string_view section,
                                                 std::u16string_view key, uint64_t path_build = 0);

  // Runs `edit` on the current document of `path` under the file's writer
  // lock, re-read under that lock. When `edit` returns kOk and has changed
  // the document, writes the file once and returns the write's status; when
  // it changed nothing, writes nothing (no file is created). A status other
  // than kOk from `edit` is returned as it is and nothing is written; the
  // cached document stays as it was unless `edit` had changed it. A file
  // that exists but cannot be read is never replaced: its error is returned
  // and `edit` does not run. Errors: 3 for a missing folder, 5 for a folder
  // or file that may not be written, 112 for a full disk, 206 for a path
  // too long for the system, 32 when another writer holds the lock too long.
  //
  // For a missing file, `edit` first runs on an empty document before the
  // lock is taken, so that an edit changing nothing leaves no trace in the
  // folder; should another writer create the file meanwhile, `edit` runs a
  // second time on that file's document, and only that run counts.
  Status Edit(std::u16string_view path, const std::function<Status(ini::Document&)>& edit);

 private:
  // Cached documents are held mutable so that an edit can take one over when
  // no reader shares it; readers only ever see them as Snapshot (const).
  using OwnedDocument = std::shared_ptr<ini::Document>;

  struct Entry {
    std::optional<FileIdentity> identity;  // nullopt: the file was missing
    // Serialises to exactly the bytes it was parsed from or written as; a
    // racy entry is checked by comparing the file with that serialisation.
    OwnedDocument document;
    bool racy = false;
    size_t counted = 0;  // what the bound counts for this entry
    uint64_t last_used = 0;
  };
  // The document an edit starts from, with what the cache needs to keep it
  // should the edit change nothing.
  struct Working {
    ini::Document document;
    std::optional<FileIdentity> identity;
    bool racy = false;
    // The cached document `document` was copied from because a reader held
    // it; it stays cached and is kept as it is when the edit changes nothing.
    OwnedDocument source;
  };
  // Settings paths share their folder and differ in the file name, so the
  // length and the last units tell them apart; hashing only those keeps the
  // lookup of a long path as cheap as that of a short one.
  struct PathHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view path) const;
  };

  // What the calling thread last borrowed (profile_store.cc).
  struct ThreadMemo;
  static ThreadMemo& Memo();
  [[gnu::noinline]] static ThreadMemo& FirstMemo();
  static thread_local ThreadMemo* thread_memo_;
  Result<const ini::Document*> BorrowWith(ThreadMemo& memo, std::u16string_view path,
                                          uint64_t path_build = 0);
  // BorrowWith once the stat() has shown that the memo's document is not
  // the file's, or the file could not be looked at.
  Result<const ini::Document*> BorrowAfterStat(ThreadMemo& memo, std::u16string_view path,
                                               const Result<FileIdentity>& now);

  // Load once the path is converted and the file's identity is known;
  // `trusted` tells whether the document came from a cache hit.
  Result<Snapshot> LoadAt(std::u16string_view path, const NativePath& file_path,
                          const std::optional<FileIdentity>& identity, bool& trusted);
  // The cached document when it may be trusted for a file of `identity`.
  Snapshot TrustedDocument(std::u16string_view path, const std::optional<FileIdentity>& identity);
  // The cached document of `path` when its entry is racy, with the size of
  // the file it was read from or written as; else null.
  std::pair<OwnedDocument, int64_t> RacyDocument(std::u16string_view path);
  // Reads the file at `file_path`, parses it unless the file still holds the
  // racy cached document's serialisation, and caches the result under `path`.
  Result<Snapshot> Reload(std::u16string_view path, const NativePath& file_path);
  // The file's current document, read under the writer lock.
  Result<Working> ReadForEdit(std::u16string_view path, const NativePath& target);
  // Fills `working` with the cached document of `path`: moved out of the
  // cache when no reader shares it, else copied with the entry left in place.
  // With `identity`, only if the entry is trusted for it; with `compared`,
  // only if the entry still holds that document (the one compared with the
  // file), and `compared` is released under the cache's lock, so that the
  // caller's own reference does not force a copy.
  bool TakeDocument(std::u16string_view path, const FileIdentity* identity, OwnedDocument* compared,
                    Working& working);
  Status Commit(std::u16string_view path, const NativePath& target, ini::Document&& document);
  // Caches what an edit that wrote nothing leaves: its source when it copied
  // one, else its document unless the edit changed it.
  void KeepUnwritten(std::u16string_view path, Working&& working);

  void Remember(std::u16string_view path, std::optional<FileIdentity> identity, bool racy,
                OwnedDocument document);
  void Forget(std::u16string_view path);
  void EvictIfFull();

  // Tells stores apart in the per-thread memo of the last read, even one
  // made at the address of a destroyed store.
  const uint64_t id_ = NextStoreId();
  static uint64_t NextStoreId();

  const CacheBounds bounds_{};
  std::mutex mutex_;
  std::unordered_map<std::u16string, Entry, PathHash, std::equal_to<>> entries_;
  size_t cached_bytes_ = 0;
  uint64_t use_clock_ = 0;
};

// The process-wide store, with its cache of parsed documents.
ProfileStore& DefaultProfileStore();

// The calling thread's last error, as the platform's GetLastError keeps it:
// set by the profile wrappers on failure and after a read that fell back to
// a default.
uint32_t LastError();
void SetLastError(uint32_t error);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_PROFILE_STORE_H_
