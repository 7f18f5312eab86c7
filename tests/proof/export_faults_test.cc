// Every system call of the write path failing once, in turn, under every
// export that writes: a property write of each scope and each task
// operation. The calls go through the syscall table of platform/posix, so
// the real code runs and only the one call fails. After each failure the
// export returns the Win32 number of the injected errno, every settings
// file is byte for byte what it was, and the folder holds no temporary file.
//
// The one exception is the flush of the folder after the rename (its open
// or its fsync): the new file is in place by then, and the failure is still
// reported because the rename may not survive a power cut. That case checks
// the status and that no temporary file is left. And where the failed call
// only read (the snapshot a task operation checks before it takes the
// lock), the export may still succeed, but then with exactly the outcome of
// a run without the failure.
//
// open fails with EMFILE rather than EACCES: a lock file that may not be
// opened for writing is opened for reading instead, by design.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "orxProperty.h"
#include "platform/posix/fault_injection.h"
#include "platform/posix/syscalls.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"

namespace orx::testing {
namespace {

using platform::RealSyscalls;
using platform::Syscalls;
using platform::SyscallTable;

// The call of the current kind to fail (1 = the first), counted across
// every call of that kind the export makes.
struct Injection {
  int fail_at = 0;
  int calls = 0;
  int error = 0;
  bool fired = false;
  bool after_rename = false;  // the failed call flushes the folder
};
Injection injection;

bool Due() {
  if (++injection.calls != injection.fail_at) return false;
  injection.fired = true;
  errno = injection.error;
  return true;
}

int FailingOpen(const char* path, int flags, mode_t mode) {
  if (!Due()) return RealSyscalls().open(path, flags, mode);
  injection.after_rename = (flags & O_DIRECTORY) != 0;
  return -1;
}
ssize_t FailingWrite(int fd, const void* data, size_t size) {
  return Due() ? -1 : RealSyscalls().write(fd, data, size);
}
int FailingFsync(int fd) {
  struct stat st;
  const bool folder = RealSyscalls().fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
  if (!Due()) return RealSyscalls().fsync(fd);
  injection.after_rename = folder;
  return -1;
}
int FailingRename(const char* from, const char* to) {
  return Due() ? -1 : RealSyscalls().rename(from, to);
}
// Only taking the lock fails; releasing it is left alone.
int FailingFlock(int fd, int operation) {
  if ((operation & LOCK_UN) == 0 && Due()) return -1;
  return RealSyscalls().flock(fd, operation);
}

struct FailingCall {
  const char* name;
  int error;
  int32_t expected;  // the Win32 number the export must return
  void (*install)(SyscallTable&);
};

const FailingCall kCalls[] = {
    {"open", EMFILE, 4, [](SyscallTable& t) { t.open = FailingOpen; }},
    {"write", ENOSPC, 112, [](SyscallTable& t) { t.write = FailingWrite; }},
    {"fsync", EIO, 1117, [](SyscallTable& t) { t.fsync = FailingFsync; }},
    {"rename", EROFS, 19, [](SyscallTable& t) { t.rename = FailingRename; }},
    {"flock", ENOLCK, 36, [](SyscallTable& t) { t.flock = FailingFlock; }},
};

// The folder as it stands: every entry with its bytes (lock files and
// settings files alike).
std::map<std::string, std::string> Snapshot(const TempDataFolder& folder) {
  std::map<std::string, std::string> files;
  for (const std::string& name : FolderEntries(folder.path())) files[name] = folder.Read(name);
  return files;
}

// The snapshot with the ids of tasks created during the run (random GUIDs)
// replaced by one placeholder, so two runs of one export compare equal.
std::map<std::string, std::string> WithoutNewIds(std::map<std::string, std::string> files,
                                                 const std::map<std::string, std::string>& before) {
  static const std::regex guid(
      "\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
  for (auto& [name, bytes] : files) {
    const std::string& old = before.count(name) ? before.at(name) : std::string();
    std::string out;
    auto last = bytes.cbegin();
    for (std::sregex_iterator it(bytes.begin(), bytes.end(), guid), end; it != end; ++it) {
      out.append(last, (*it)[0].first);
      out += old.find(it->str()) == std::string::npos ? "{NEW}" : it->str();
      last = (*it)[0].second;
    }
    out.append(last, bytes.cend());
    bytes = out;
  }
  return files;
}

class ExportFaults : public DataFolderTest {
 protected:
  void SetUp() override {
    // Three tasks, the second removed from the list, so a compaction has a
    // move to make; a general and a provider setting.
    for (std::u16string* id : {&first_, &second_, &third_}) {
      char16_t buffer[39];
      uint32_t length = 39;
      ASSERT_EQ(orxCreateTask(buffer, &length), 0);
      *id = buffer;
      ASSERT_EQ(orxSetTaskProperty(buffer, 0x20000, u"A label"), 0);
    }
    ASSERT_EQ(orxDeleteTaskDefinition(u"Task2", second_.c_str()), 0);
    ASSERT_EQ(orxSetPropertyInt(0x10013, 240), 0);
    ASSERT_EQ(orxSetProviderProperty(u"Vendor", 0x4000002, u"TXT"), 0);
    arranged_ = Snapshot(folder_);
  }

  void Restore() {
    for (const std::string& name : FolderEntries(folder_.path())) {
      if (!arranged_.count(name)) std::remove(folder_.File(name).c_str());
    }
    for (const auto& [name, bytes] : arranged_) folder_.Write(name, bytes);
  }

  std::u16string first_, second_, third_;
  std::map<std::string, std::string> arranged_;
};

struct Operation {
  const char* name;
  std::function<int32_t(const std::u16string& task)> run;
};

TEST_F(ExportFaults, EachWritePathCallFailingOnceLeavesEveryFileAsItWas) {
  const Operation operations[] = {
      {"orxSetProperty", [](auto&) { return orxSetProperty(0x10013, u"120"); }},
      {"orxSetPropertyInt", [](auto&) { return orxSetPropertyInt(0x10013, 60); }},
      {"orxSetTaskProperty",
       [](auto& task) { return orxSetTaskProperty(task.c_str(), 0x20019, u"5"); }},
      {"orxSetTaskPropertyInt",
       [](auto& task) { return orxSetTaskPropertyInt(task.c_str(), 0x20018, 600); }},
      {"orxSetProviderProperty",
       [](auto&) { return orxSetProviderProperty(u"Vendor", 0x4000002, u"HTML"); }},
      {"orxSetProviderPropertyInt",
       [](auto&) { return orxSetProviderPropertyInt(u"Vendor", 0x4000005, 1); }},
      {"orxCreateTask",
       [](auto&) {
         char16_t id[39];
         uint32_t length = 39;
         return orxCreateTask(id, &length);
       }},
      {"orxCreateTask registration",
       [](auto&) {
         char16_t id[] = u"{REGISTERED}";
         return orxCreateTask(id, nullptr);
       }},
      {"orxDeleteTask", [](auto& task) { return orxDeleteTask(task.c_str()); }},
      {"orxDeleteTaskDefinition",
       [](auto& task) { return orxDeleteTaskDefinition(u"Task3", task.c_str()); }},
      {"orxCopyTaskDefinition",
       [](auto& task) {
         char16_t id[39];
         uint32_t length = 39;
         return orxCopyTaskDefinition(task.c_str(), id, &length);
       }},
      {"orxShrinkTasks", [](auto&) { return orxShrinkTasks(10); }},
  };
  int failures_checked = 0;
  for (const Operation& operation : operations) {
    for (const FailingCall& call : kCalls) {
      SCOPED_TRACE(std::string(operation.name) + ", failing " + call.name);
      // A clean run counts the calls of this kind the export makes.
      Restore();
      SyscallTable saved = Syscalls();
      injection = {.fail_at = -1, .error = call.error};
      call.install(Syscalls());
      ASSERT_EQ(operation.run(third_), 0);
      Syscalls() = saved;
      const int calls = injection.calls;
      const auto clean_outcome = WithoutNewIds(Snapshot(folder_), arranged_);
      EXPECT_GT(calls, 0) << "the export never made the call";

      for (int k = 1; k <= calls; ++k) {
        SCOPED_TRACE("call " + std::to_string(k) + " of " + std::to_string(calls));
        Restore();
        injection = {.fail_at = k, .error = call.error};
        call.install(Syscalls());
        const int32_t status = operation.run(third_);
        Syscalls() = saved;
        if (!injection.fired) continue;  // a cached read made one call fewer
        ++failures_checked;
        if (status == 0) {
          EXPECT_EQ(WithoutNewIds(Snapshot(folder_), arranged_), clean_outcome)
              << "succeeded despite the failure, with another outcome";
          continue;
        }
        EXPECT_EQ(status, call.expected);
        if (injection.after_rename) {
          EXPECT_EQ(FolderEntries(folder_.path()).size(), arranged_.size());
        } else {
          EXPECT_EQ(Snapshot(folder_), arranged_);
        }
      }
    }
  }
  RecordProperty("injected_failures", failures_checked);
  // Every export has at least its temporary file's open, write, flush and
  // rename and its lock to fail.
  EXPECT_GE(failures_checked, 5 * 12);
}

// A list that cannot be read is not an empty list: compaction reports the
// read's error instead of 259, and leaves the file alone.
TEST_F(ExportFaults, CompactionOfAListThatCannotBeReadReportsTheReadError) {
  Restore();
  const InjectedFailure broken_disk("read", EIO);
  EXPECT_EQ(orxShrinkTasks(10), 1117);
  EXPECT_EQ(Snapshot(folder_), arranged_);
}

}  // namespace
}  // namespace orx::testing
