// Language modules on POSIX: module files with their cached tables, and the
// choice among them from the environment.
//
// Each path gets one ModuleFile for the life of its LanguageModules, so the
// pointers basGetBaseLang hands out stay valid however often the choice
// changes. A ModuleFile caches the table parsed from its file together with
// the file's identity (device, inode, size, modification and change times in
// nanoseconds); a load whose stat() shows the same identity returns the
// cached table, anything else reads the file again.
#include "platform/posix/string_table_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/posix/language_selection.h"

#ifndef ORX_LANG_DIR
#define ORX_LANG_DIR ""
#endif

namespace orx::platform {
namespace {

int64_t Nanoseconds(const timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

ModuleFileIdentity IdentityOf(const struct stat& status) {
  return {status.st_dev, status.st_ino, status.st_size, Nanoseconds(status.st_mtim),
          Nanoseconds(status.st_ctim)};
}

int64_t NowNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

struct FileContent {
  ModuleFileIdentity identity;
  std::string bytes;
};

// The whole file, or nullopt when it cannot serve as a module. O_NONBLOCK
// keeps a FIFO named as the module from blocking the open; the type check
// then refuses it along with directories and devices.
std::optional<FileContent> ReadModuleFile(const std::string& path) {
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (file.get() < 0) return std::nullopt;
  struct stat status {};
  if (fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
      static_cast<uint64_t>(status.st_size) > kMaxModuleFileBytes) {
    return std::nullopt;
  }
  FileContent content{IdentityOf(status), {}};
  content.bytes.resize(static_cast<size_t>(status.st_size) + 1);
  size_t total = 0;
  // Reads until end of file, since the file may have grown since fstat.
  for (;;) {
    if (total == content.bytes.size()) {
      if (total > kMaxModuleFileBytes) return std::nullopt;
      content.bytes.resize(total * 2);
    }
    const ssize_t count =
        read(file.get(), content.bytes.data() + total, content.bytes.size() - total);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return std::nullopt;
    if (count == 0) break;
    total += static_cast<size_t>(count);
  }
  if (total > kMaxModuleFileBytes) return std::nullopt;
  content.bytes.resize(total);
  return content;
}

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
  ModuleFile(std::string path, std::chrono::nanoseconds reread_window)
      : path_(std::move(path)), reread_window_ns_(reread_window.count()) {}

  std::shared_ptr<const StringTable> Table() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cached_ && IsUnchanged()) return cached_->table;
    const int64_t read_started_ns = NowNs();
    std::optional<FileContent> content = ReadModuleFile(path_);
    if (!content) {
      cached_.reset();
      return EmptyTable();
    }
    if (!cached_ || cached_->bytes != content->bytes) {
      auto table = std::make_shared<const StringTable>(StringTable::Parse(content->bytes));
      cached_.emplace(Cached{{}, 0, std::move(content->bytes), std::move(table)});
    }
    cached_->identity = content->identity;
    cached_->read_started_ns = read_started_ns;
    return cached_->table;
  }

  const std::string& path() const override { return path_; }

 private:
  struct Cached {
    ModuleFileIdentity identity;
    int64_t read_started_ns;
    std::string bytes;
    std::shared_ptr<const StringTable> table;
  };

  // Requires mutex_ held and cached_ set.
  bool IsUnchanged() const {
    struct stat status {};
    return stat(path_.c_str(), &status) == 0 &&
           CachedTableIsCurrent(cached_->identity, cached_->read_started_ns, IdentityOf(status),
                                reread_window_ns_);
  }

  const std::string path_;
  const int64_t reread_window_ns_;
  mutable std::mutex mutex_;
  mutable std::optional<Cached> cached_;
};

bool IsRegularFile(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

class PosixLanguageModules final : public LanguageModules {
 public:
  explicit PosixLanguageModules(LanguageModulesOptions options) : options_(std::move(options)) {}

  const LanguageModule* Select() override {
    const char* chosen = std::getenv("ORX_LANGUAGE_MODULE");
    if (chosen != nullptr && *chosen != '\0') return Intern(chosen);
    if (options_.installed_folder.empty()) return &builtin_;
    for (const std::string& name : LanguageCandidates(LocaleEnvironment::FromProcess())) {
      std::string path = options_.installed_folder + "/" + name + ".lang";
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
      auto module = std::make_unique<ModuleFile>(path, options_.reread_window);
      it = modules_.emplace(std::move(path), std::move(module)).first;
    }
    return it->second.get();
  }

  const LanguageModulesOptions options_;
  BuiltinModule builtin_;
  // Never shrinks: every handle given out must stay valid. One entry per
  // distinct path ever chosen, which in practice is a handful.
  std::mutex modules_mutex_;
  std::map<std::string, std::unique_ptr<ModuleFile>> modules_;
};

}  // namespace

bool CachedTableIsCurrent(const ModuleFileIdentity& cached, int64_t read_started_ns,
                          const ModuleFileIdentity& current, int64_t reread_window_ns) {
  if (current != cached) return false;
  // A write in the same time-stamp tick as the read would leave the
  // identity as it was; only a file last touched well before the read is
  // known to be the one that was read.
  const int64_t last_touched_ns = std::max(cached.modified_ns, cached.changed_ns);
  return last_touched_ns < read_started_ns - reread_window_ns;
}

std::unique_ptr<LanguageModules> NewPosixLanguageModules(LanguageModulesOptions options) {
  return std::make_unique<PosixLanguageModules>(std::move(options));
}

const char* InstalledLanguageFolder() { return ORX_LANG_DIR; }

LanguageModules& DefaultLanguageModules() {
  static LanguageModules* const modules =
      NewPosixLanguageModules({InstalledLanguageFolder(), kDefaultRereadWindow}).release();
  return *modules;
}

}  // namespace orx::platform
