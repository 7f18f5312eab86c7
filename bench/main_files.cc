// The build runs in a scratch data folder, on /dev/shm when it can: the
// 10,000-task file takes 10,000 copies of a growing file, each a whole-file
// replacement, and a flush to a real disk for each would make the build the
// longest part of the run without changing a byte of the result. A build
// that finds some of the lists already made goes on from the largest one
// below the first missing count, so adding a count costs only its copies.
#include "main_files.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "orxProperty.h"
#include "orxPropertyIds.h"

namespace orx::bench {
namespace {

namespace fs = std::filesystem;

#define ORX_BENCH_ID(id) id,
constexpr uint32_t kEveryId[] = {ORX_PROPERTY_ID_LIST(ORX_BENCH_ID)};
#undef ORX_BENCH_ID

// The identifiers of one class, in identifier order (a class is one bit of
// the identifier's high half).
std::vector<uint32_t> IdsOfClass(uint32_t property_class) {
  std::vector<uint32_t> ids;
  for (const uint32_t id : kEveryId) {
    if ((id >> 16) == (property_class >> 16)) ids.push_back(id);
  }
  return ids;
}

bool Check(int32_t status, const char* what) {
  if (status != 0) std::fprintf(stderr, "make_main_files: %s failed with %d\n", what, status);
  return status == 0;
}

std::u16string Widen(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

// A value for each task property: its default where it has one, so the file
// looks like a configured task, and a path-like text where the default is
// empty, so no key is written empty.
std::u16string TemplateValue(const char16_t* task, uint32_t id) {
  if (id == ORX_TASK_LABEL) return u"Weekly scan of local disks";
  orxChar value[260];
  orxGetTaskProperty(task, id, value, 260);
  if (value[0] != 0) return value;
  return u"C:\\Users\\Public\\Documents\\item-" + Widen(std::to_string(id - ORX_TASK_LABEL));
}

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string base = access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm")
                                                     : fs::temp_directory_path().string();
    path_ = base + "/orx-build-XXXXXX";
    if (mkdtemp(path_.data()) == nullptr) path_.clear();
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string MainFile() const { return path_ + "/ormix5.ini"; }

 private:
  std::string path_;
};

bool CopyFile(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
  if (error)
    std::fprintf(stderr, "make_main_files: copy to %s: %s\n", to.c_str(), error.message().c_str());
  return !error;
}

// Removes the definitions of the tasks in the even slots of the list in the
// scratch folder's main file.
bool RemoveEverySecondTask() {
  orxChar id[64];
  orxChar key[16];
  orxQuery query = nullptr;
  std::vector<std::pair<std::u16string, std::u16string>> doomed;
  int32_t status = orxGetFirstTask(&query, id, 64, key, 16);
  for (int slot = 1; status == 0; ++slot) {
    if (slot % 2 == 0) doomed.emplace_back(key, id);
    status = orxGetNextTask(query, 0);
  }
  if (query != nullptr) orxCloseQuery(query);
  if (status != ORX_STATUS_NO_MORE_ITEMS) return Check(status, "enumeration");
  for (const auto& [slot_key, task] : doomed) {
    if (!Check(orxDeleteTaskDefinition(slot_key.c_str(), task.c_str()), "task removal")) {
      return false;
    }
  }
  return true;
}

// A new main file holding [InetWD] first and one task with all 46
// properties written; returns the task's id, empty on failure.
std::u16string MakeTemplateTask() {
  if (!Check(orxSetPropertyInt(ORX_GENERAL_UPDATE_PERIOD, 240), "general write")) return {};
  orxChar first[39];
  uint32_t length = 39;
  if (!Check(orxCreateTask(first, &length), "task creation")) return {};
  for (const uint32_t id : IdsOfClass(ORX_CLASS_TASK)) {
    const std::u16string value = TemplateValue(first, id);
    if (!Check(orxSetTaskProperty(first, id, value.c_str()), "task write")) return {};
  }
  return first;
}

// Every task of a list is a copy of the one in slot 1.
std::u16string TaskInFirstSlot() {
  orxChar id[64];
  orxQuery query = nullptr;
  std::u16string found;
  if (orxGetFirstTask(&query, id, 64, nullptr, 0) == 0) found = id;
  if (query != nullptr) orxCloseQuery(query);
  return found;
}

}  // namespace

std::string MainFilePath(const std::string& folder, int tasks) {
  return folder + "/main-" + std::to_string(tasks) + ".ini";
}

std::string HoledFilePath(const std::string& folder, int tasks) {
  return folder + "/holed-" + std::to_string(tasks) + ".ini";
}

std::string ProviderFilePath(const std::string& folder) { return folder + "/Bench.ini"; }

bool BuildMainFiles(const std::string& folder, const std::vector<int>& counts,
                    const std::vector<int>& holed_counts) {
  std::vector<int> missing;
  for (int tasks : counts) {
    if (!fs::exists(MainFilePath(folder, tasks))) missing.push_back(tasks);
  }
  bool holes_missing = false;
  for (int tasks : holed_counts) holes_missing |= !fs::exists(HoledFilePath(folder, tasks));
  if (missing.empty() && !holes_missing && fs::exists(ProviderFilePath(folder))) return true;

  ScratchFolder scratch;
  if (scratch.path().empty()) return Check(-1, "scratch folder");
  setenv("ORX_DATA_FOLDER", scratch.path().c_str(), 1);
  orxPropertyInitLibrary();

  if (!fs::exists(ProviderFilePath(folder))) {
    for (const uint32_t id : IdsOfClass(ORX_CLASS_PROVIDER)) {
      orxChar value[260];
      orxGetProviderProperty(kBenchProvider, id, value, 260);
      if (!Check(orxSetProviderProperty(kBenchProvider, id, value), "provider write")) return false;
    }
    if (!CopyFile(scratch.path() + "/Bench.ini", ProviderFilePath(folder))) return false;
  }

  if (!missing.empty()) {
    int listed = 0;
    for (int tasks : counts) {
      if (tasks < missing.front() && fs::exists(MainFilePath(folder, tasks))) listed = tasks;
    }
    std::u16string source;
    if (listed > 0) {
      if (!CopyFile(MainFilePath(folder, listed), scratch.MainFile())) return false;
      source = TaskInFirstSlot();
      if (source.empty()) return Check(-1, "the task in slot 1 of the resumed list");
    } else {
      source = MakeTemplateTask();
      if (source.empty()) return false;
      listed = 1;
    }
    for (int tasks : counts) {
      if (tasks < listed) continue;
      for (; listed < tasks; ++listed) {
        orxChar copy[39];
        uint32_t copy_length = 39;
        if (!Check(orxCopyTaskDefinition(source.c_str(), copy, &copy_length), "task copy")) {
          return false;
        }
      }
      if (!CopyFile(scratch.MainFile(), MainFilePath(folder, tasks))) return false;
    }
  }
  // The holes are made last, on copies, so the lists above stay whole.
  for (int tasks : holed_counts) {
    if (fs::exists(HoledFilePath(folder, tasks))) continue;
    if (!CopyFile(MainFilePath(folder, tasks), scratch.MainFile()) || !RemoveEverySecondTask() ||
        !CopyFile(scratch.MainFile(), HoledFilePath(folder, tasks))) {
      return false;
    }
  }
  return true;
}

}  // namespace orx::bench
