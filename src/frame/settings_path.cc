// DataFolder is published as an immutable record behind an atomic pointer:
// exports read it without the library lock while a second
// orxPropertyInitLibrary may be replacing it. Replaced records are kept for
// the life of the process, their list included (never destroyed, like the
// store), so a reader's view never dangles, not even in an exit handler or a
// thread still running while static objects are destroyed; a process calls
// the initialisation a handful of times at most.
//
// Since a record's address is never reused, it also names its folder text:
// each thread keeps the last path it built (ThreadSettingsPath) beside the
// record it was built from, and a read of the same file in the same folder
// finds it there instead of building it again.
#include "frame/settings_path.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "base/same_units.h"

namespace orx::frame {
namespace {

struct FolderRecord {
  char16_t text[kMaxPath] = {};
  size_t length = 0;
  bool usable = true;
};

const FolderRecord kUnsetFolder{};
std::atomic<const FolderRecord*> current_folder{&kUnsetFolder};

// Every record ever published, so that none is freed while a reader may
// hold it.
struct RetiredFolders {
  std::mutex mutex;
  std::vector<std::unique_ptr<FolderRecord>> records;
};

RetiredFolders& Retired() {
  static RetiredFolders* retired = new RetiredFolders;  // never destroyed
  return *retired;
}

}  // namespace

std::u16string_view DataFolder() {
  const FolderRecord* record = current_folder.load(std::memory_order_acquire);
  return {record->text, record->length};
}

void SetDataFolder(std::u16string_view folder) {
  auto record = std::make_unique<FolderRecord>();
  // The folder and its separator must leave room for the terminator; a
  // folder that does not fit is kept as unusable rather than cut.
  if (folder.size() + 1 < kMaxPath) {
    folder.copy(record->text, folder.size());
    record->text[folder.size()] = kPathSeparator;
    record->length = folder.size() + 1;
  } else {
    record->usable = false;
  }
  RetiredFolders& retired = Retired();
  std::lock_guard<std::mutex> lock(retired.mutex);
  current_folder.store(record.get(), std::memory_order_release);
  retired.records.push_back(std::move(record));
}

namespace {

Status BuildFrom(const FolderRecord& folder, SettingsPath& path, std::u16string_view name,
                 std::u16string_view suffix, size_t& length) {
  length = folder.length + name.size() + suffix.size();
  if (!folder.usable || length >= kMaxPath) {
    path[0] = u'\0';
    length = 0;
    return Status::kFilenameExcedRange;
  }
  // Plain copies, their sizes checked above (an empty piece may have no
  // data at all, which memcpy must not be given).
  char16_t* out = path;
  for (const std::u16string_view piece :
       {std::u16string_view(folder.text, folder.length), name, suffix}) {
    if (!piece.empty()) std::memcpy(out, piece.data(), piece.size() * sizeof(char16_t));
    out += piece.size();
  }
  path[length] = u'\0';
  return Status::kOk;
}

// The calling thread's last ThreadSettingsPath. Trivially destructible, so
// threads leave nothing to destroy; `folder` null until a path is built.
struct LastThreadPath {
  const FolderRecord* folder = nullptr;
  const char16_t* constant_name = nullptr;  // the name, when it was a constant
  uint64_t build = 0;
  size_t length = 0;
  SettingsPath path = {};
};
thread_local LastThreadPath last_thread_path;
// Reaches last_thread_path in one instruction where a shared object would
// call __tls_get_addr (initial-exec: eight bytes of static TLS).
#if defined(__ELF__)
__attribute__((tls_model("initial-exec")))
#endif
thread_local LastThreadPath* last_thread_path_address = nullptr;

LastThreadPath& Last() {
  LastThreadPath* last = last_thread_path_address;
  if (last == nullptr) [[unlikely]] {
    last = last_thread_path_address = &last_thread_path;
  }
  return *last;
}

Status Rebuild(LastThreadPath& last, const FolderRecord* folder, std::u16string_view name,
               std::u16string_view suffix, const char16_t* constant_name, ThreadPath& path) {
  last.folder = nullptr;
  last.constant_name = nullptr;
  const Status status = BuildFrom(*folder, last.path, name, suffix, last.length);
  ++last.build;
  if (IsOk(status)) {
    last.folder = folder;
    last.constant_name = constant_name;
    path = {{last.path, last.length}, last.build};
  } else {
    path = {};
  }
  return status;
}

}  // namespace

Status BuildSettingsPath(SettingsPath& path, std::u16string_view name, std::u16string_view suffix) {
  size_t length;
  return BuildFrom(*current_folder.load(std::memory_order_acquire), path, name, suffix, length);
}

namespace {

// ThreadSettingsPath once the folder is read; `constant_name` is recorded
// for the next call when the name is a constant.
inline Status ThreadPathIn(LastThreadPath& last, const FolderRecord* folder,
                           std::u16string_view name, std::u16string_view suffix,
                           const char16_t* constant_name, ThreadPath& path) {
  // Records are never freed nor reused, so the same address is the same
  // folder text; the last path then ends in the last name and suffix.
  if (last.folder == folder && last.length == folder->length + name.size() + suffix.size() &&
      SameUnits(last.path + folder->length, name.data(), name.size()) &&
      SameUnits(last.path + folder->length + name.size(), suffix.data(), suffix.size())) {
    last.constant_name = constant_name;
    path = {{last.path, last.length}, last.build};
    return Status::kOk;
  }
  return Rebuild(last, folder, name, suffix, constant_name, path);
}

// Another copy of the same text keeps the path and its number. Out of line,
// so that a hit by the name's address pays for nothing else.
[[gnu::noinline]] Status ThreadPathOfOtherConstant(LastThreadPath& last, const FolderRecord* folder,
                                                   const char16_t* name, ThreadPath& path) {
  return ThreadPathIn(last, folder, name, {}, name, path);
}

}  // namespace

Status ThreadSettingsPath(std::u16string_view name, std::u16string_view suffix, ThreadPath& path) {
  return ThreadPathIn(Last(), current_folder.load(std::memory_order_acquire), name, suffix, nullptr,
                      path);
}

Status ThreadSettingsPathOfConstant(const char16_t* name, ThreadPath& path) {
  LastThreadPath& last = Last();
  const FolderRecord* folder = current_folder.load(std::memory_order_acquire);
  if (last.folder == folder && last.constant_name == name) {
    path = {{last.path, last.length}, last.build};
    return Status::kOk;
  }
  return ThreadPathOfOtherConstant(last, folder, name, path);
}

}  // namespace orx::frame
