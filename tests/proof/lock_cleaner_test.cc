// Writers against a "stale lock" cleaner: while one thread deletes every
// lock file in the data folder every few milliseconds, 3 processes x 2
// threads create tasks and write a property of each task they created. At
// the end every acknowledged creation is listed and every acknowledged
// write holds its value: a writer whose lock file vanished under it must
// not have shared the lock with another.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "orxProperty.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"
#include "support/writer_log.h"
#include "tasks/task_list_files.h"

namespace orx::testing {
namespace {

constexpr int kProcesses = 3;
constexpr int kThreads = 2;
constexpr auto kWriteTime = std::chrono::milliseconds(1500);
constexpr auto kCleanerPause = std::chrono::milliseconds(2);
constexpr uint32_t kSchedTime = 0x20018;

// One thread's work: "<id> <value>" for each task it created and wrote, or
// "failed <status>" for the first call that failed.
std::string CreateAndWrite(int first_value) {
  std::ostringstream report;
  const auto end = std::chrono::steady_clock::now() + kWriteTime;
  for (int value = first_value; std::chrono::steady_clock::now() < end; ++value) {
    char16_t id[39];
    uint32_t length = 39;
    if (int32_t status = orxCreateTask(id, &length); status != 0) {
      report << "failed " << status << "\n";
      break;
    }
    if (int32_t status = orxSetTaskPropertyInt(id, kSchedTime, value); status != 0) {
      report << "failed " << status << "\n";
      break;
    }
    report << Narrow(id) << " " << value << "\n";
  }
  return report.str();
}

int Writer(int fd, int process) {
  std::string reports[kThreads];
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] { reports[t] = CreateAndWrite((process * kThreads + t) << 20); });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::string& report : reports) {
    if (write(fd, report.data(), report.size()) != static_cast<ssize_t>(report.size())) return 2;
  }
  return 0;
}

class LockCleanerTest : public DataFolderTest {};

TEST_F(LockCleanerTest, DeletedLockFilesLoseNoWriteAndNoTask) {
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    children.push_back(StartChild([&, p] {
      close(pipe_fds[0]);
      return Writer(pipe_fds[1], p);
    }));
  }
  close(pipe_fds[1]);

  std::atomic<bool> writing{true};
  std::atomic<int> deleted{0};
  std::thread cleaner([&] {
    while (writing.load()) {
      for (const std::string& name : FolderEntries(folder_.path())) {
        if (name.ends_with(".lock") && unlink(folder_.File(name).c_str()) == 0) ++deleted;
      }
      std::this_thread::sleep_for(kCleanerPause);
    }
  });
  const std::string reports = ReadToEnd(pipe_fds[0]);
  close(pipe_fds[0]);
  writing.store(false);
  cleaner.join();
  for (pid_t child : children) EXPECT_EQ(WaitForChild(child), 0);

  std::map<std::string, int> written;
  std::istringstream lines(reports);
  std::string id;
  int value = 0;
  while (lines >> id >> value) {
    ASSERT_NE(id, "failed") << "a call failed with " << value;
    written[id] = value;
  }
  EXPECT_GT(deleted.load(), 10) << "the cleaner had nothing to do";
  ASSERT_GT(written.size(), 20u) << "the writers got nowhere";

  const std::vector<std::string> listed = ListedIds(folder_.Read("ormix5.ini"));
  const std::set<std::string> listed_set(listed.begin(), listed.end());
  EXPECT_EQ(listed_set.size(), listed.size()) << "a task is listed twice";
  int lost_tasks = 0;
  int lost_writes = 0;
  for (const auto& [task, expected] : written) {
    lost_tasks += listed_set.count(task) == 0 ? 1 : 0;
    int32_t stored = 0;
    orxGetTaskPropertyInt(Widen(task).c_str(), kSchedTime, &stored);
    lost_writes += stored != expected ? 1 : 0;
  }
  EXPECT_EQ(lost_tasks, 0) << "of " << written.size();
  EXPECT_EQ(lost_writes, 0) << "of " << written.size();
}

}  // namespace
}  // namespace orx::testing
