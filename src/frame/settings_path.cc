// DataFolder is published as an immutable record behind an atomic pointer:
// exports read it without the library lock while a second
// orxPropertyInitLibrary may be replacing it. Replaced records are kept for
// the life of the process, their list included (never destroyed, like the
// store), so a reader's view never dangles, not even in an exit handler or a
// thread still running while static objects are destroyed; a process calls
// the initialisation a handful of times at most.
#include "frame/settings_path.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

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

Status BuildSettingsPath(SettingsPath& path, std::u16string_view name, std::u16string_view suffix) {
  path[0] = u'\0';
  const FolderRecord* folder = current_folder.load(std::memory_order_acquire);
  const size_t length = folder->length + name.size() + suffix.size();
  if (!folder->usable || length >= kMaxPath) return Status::kFilenameExcedRange;
  std::u16string_view(folder->text, folder->length).copy(path, folder->length);
  name.copy(path + folder->length, name.size());
  suffix.copy(path + folder->length + name.size(), suffix.size());
  path[length] = u'\0';
  return Status::kOk;
}

}  // namespace orx::frame
