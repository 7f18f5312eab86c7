// Language modules on POSIX: module files with their cached tables, and the
// choice among them from the environment.
//
// Each path gets one ModuleFile for the life of its LanguageModules, so the
// pointers basGetBaseLang hands out stay valid however often the choice
// changes. A ModuleFile caches the table parsed from its file together with
// the identity the bytes were read at (file_io.h); a load whose stat() shows
// the same identity returns the cached table, anything else reads the file
// again. A table read within a timestamp tick of the file's last change is
// racy: each load reads the file again until a read is clean, and keeps the
// parsed table as long as the bytes are the same.
#include "platform/posix/string_table_posix.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "base/result.h"
#include "platform/posix/file_io.h"
#include "platform/posix/language_selection.h"
#include "platform/posix/syscalls.h"

#ifndef ORX_LANG_DIR
#define ORX_LANG_DIR ""
#endif
#ifndef ORX_LANG_DIR_FROM_LIBRARY
#define ORX_LANG_DIR_FROM_LIBRARY ""
#endif

namespace orx::platform {
namespace {

std::shared_ptr<const StringTable> EmptyTable() {
  static const auto* const table =
      new std::shared_ptr<const StringTable>(std::make_shared<const StringTable>());
  return *table;
}

class BuiltinModule final : public LanguageModule {
 public:
  // Non-owning: the built-in table lives for the process.
  std::shared_ptr<const StringTable> Table() const override {
    return std::shared_ptr<const StringTable>(std::shared_ptr<void>(), &BuiltinEnglishTable());
  }
  const std::string& path() const override { return path_; }

 private:
  const std::string path_;
};

class ModuleFile final : public LanguageModule {
 public:
  explicit ModuleFile(std::string path) : path_(std::move(path)) {}

  std::shared_ptr<const StringTable> Table() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cached_ && !cached_->racy) {
      Result<FileIdentity> now = StatFile(path_);
      if (now.ok() && *now == cached_->identity) return cached_->table;
    }
    Result<FileContents> content = ReadWholeFile(path_, kMaxModuleFileBytes);
    if (!content.ok()) {
      cached_.reset();
      return EmptyTable();
    }
    if (!cached_ || cached_->bytes != content->bytes) {
      auto table = std::make_shared<const StringTable>(StringTable::Parse(content->bytes));
      cached_.emplace(Cached{{}, false, std::move(content->bytes), std::move(table)});
    }
    cached_->identity = content->identity;
    cached_->racy = IsRacilyClean(content->identity, content->read_started_ns);
    return cached_->table;
  }

  const std::string& path() const override { return path_; }

 private:
  struct Cached {
    FileIdentity identity;
    bool racy;
    std::string bytes;
    std::shared_ptr<const StringTable> table;
  };

  const std::string path_;
  mutable std::mutex mutex_;
  mutable std::optional<Cached> cached_;
};

bool IsRegularFile(const std::string& path) {
  struct stat status {};
  return Syscalls().stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat status {};
  return Syscalls().stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The folder of the file this code was loaded from (the shared library, or
// the program it is linked into), or "" when the loader cannot say.
std::string OwnFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&OwnFolder), &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  const std::string file = info.dli_fname;
  const size_t slash = file.rfind('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

class PosixLanguageModules final : public LanguageModules {
 public:
  explicit PosixLanguageModules(std::string installed_folder)
      : installed_folder_(std::move(installed_folder)) {}

  const LanguageModule* Select() override {
    const char* chosen = std::getenv("ORX_LANGUAGE_MODULE");
    if (chosen != nullptr && *chosen != '\0') return Intern(chosen);
    if (installed_folder_.empty()) return &builtin_;
    for (const std::string& name : LanguageCandidates(LocaleEnvironment::FromProcess())) {
      std::string path = installed_folder_ + "/" + name + ".lang";
      if (IsRegularFile(path)) return Intern(std::move(path));
      // English is always at hand, so the search ends here even when no
      // English table is installed.
      if (name == kEnglishTableName) break;
    }
    return &builtin_;
  }

 private:
  const LanguageModule* Intern(std::string path) {
    std::lock_guard<std::mutex> lock(modules_mutex_);
    auto it = modules_.find(path);
    if (it == modules_.end()) {
      auto module = std::make_unique<ModuleFile>(path);
      it = modules_.emplace(std::move(path), std::move(module)).first;
    }
    return it->second.get();
  }

  const std::string installed_folder_;
  BuiltinModule builtin_;
  // Never shrinks: every handle given out must stay valid. One entry per
  // distinct path ever chosen, which in practice is a handful.
  std::mutex modules_mutex_;
  std::map<std::string, std::unique_ptr<ModuleFile>> modules_;
};

}  // namespace

std::unique_ptr<LanguageModules> NewPosixLanguageModules(std::string installed_folder) {
  return std::make_unique<PosixLanguageModules>(std::move(installed_folder));
}

std::string LanguageFolderFor(const std::string& library_folder, const std::string& relative,
                              const std::string& configured) {
  if (!library_folder.empty() && !relative.empty()) {
    std::string beside = library_folder + "/" + relative;
    if (IsDirectory(beside)) return beside;
  }
  return configured;
}

// Computed once: an install moved to another prefix finds the tables that
// came with it, and a library used from its build folder the configured ones.
const char* InstalledLanguageFolder() {
  static const std::string* const folder =
      new std::string(LanguageFolderFor(OwnFolder(), ORX_LANG_DIR_FROM_LIBRARY, ORX_LANG_DIR));
  return folder->c_str();
}

LanguageModules& DefaultLanguageModules() {
  static LanguageModules* const modules =
      NewPosixLanguageModules(InstalledLanguageFolder()).release();
  return *modules;
}

}  // namespace orx::platform
