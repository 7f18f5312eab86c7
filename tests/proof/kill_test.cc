// A writer process doing property writes, task creations, copies, removals
// and compactions is killed with SIGKILL at a random moment, 200 times on
// the same data folder. It tells the test what it attempted and what the
// library acknowledged through a pipe; the random delay before the kill
// starts once the first acknowledgement arrived, so a slow start on a busy
// machine does not turn a round into a kill before any operation. After every kill: the main file
// is whole (every line well formed), no task that was listed or acknowledged is missing or listed
// twice, every acknowledged write is still there (or the write in flight at the kill replaced it),
// and at most one temporary file, the one being written at the kill, is left in the folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "orxProperty.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"
#include "support/writer_log.h"
#include "tasks/task_list_files.h"

namespace orx::testing {
namespace {

constexpr int kRounds = 200;
constexpr int kMaxListed = 12;
constexpr uint32_t kUpdatePeriod = 0x10013;
constexpr uint32_t kSchedTime = 0x20018;

// Exit codes of a writer that stopped on its own: a call failed.
enum WriterFailure { kWriteFailed = 10, kCreateFailed, kCopyFailed, kRemoveFailed, kShrinkFailed };

// Runs until killed. `listed` is the list as it stood when the round began.
int Writer(int fd, std::vector<std::string> listed, uint32_t seed, int value,
           const std::string& main_file) {
  const AckLog log(fd);
  std::mt19937 random(seed);
  for (;;) {
    switch (random() % 6) {
      case 0: {
        const std::string text = "general " + std::to_string(++value);
        log.Attempt('w', text);
        if (orxSetPropertyInt(kUpdatePeriod, value) != 0) return kWriteFailed;
        log.Ack('w', text);
        break;
      }
      case 1: {
        if (listed.empty()) break;
        const std::string& task = listed[random() % listed.size()];
        const std::string text = task + " " + std::to_string(++value);
        log.Attempt('w', text);
        if (orxSetTaskPropertyInt(Widen(task).c_str(), kSchedTime, value) != 0) {
          return kWriteFailed;
        }
        log.Ack('w', text);
        break;
      }
      case 2:
      case 3: {
        char16_t id[39];
        uint32_t length = 39;
        log.Attempt('c');
        if (random() % 2 == 0 || listed.empty()) {
          if (orxCreateTask(id, &length) != 0) return kCreateFailed;
        } else {
          const std::u16string source = Widen(listed[random() % listed.size()]);
          if (orxCopyTaskDefinition(source.c_str(), id, &length) != 0) return kCopyFailed;
        }
        listed.push_back(Narrow(id));
        log.Ack('c', listed.back());
        break;
      }
      case 4: {
        if (listed.size() <= kMaxListed / 2) break;
        const size_t victim = random() % listed.size();
        std::string slot_key;
        std::string bytes = ReadFileBytes(main_file);
        for (const auto& [slot, id] : SlotsInFile(bytes)) {
          if (id == listed[victim]) slot_key = "Task" + std::to_string(slot);
        }
        log.Attempt('d', listed[victim]);
        if (orxDeleteTaskDefinition(Widen(slot_key).c_str(), Widen(listed[victim]).c_str()) != 0) {
          return kRemoveFailed;
        }
        log.Ack('d', listed[victim]);
        listed.erase(listed.begin() + victim);
        break;
      }
      default: {
        log.Attempt('s');
        const int32_t status = orxShrinkTasks(10000);
        if (status != 0 && status != ORX_STATUS_NO_MORE_ITEMS) return kShrinkFailed;
        log.Ack('s');
        break;
      }
    }
  }
}

// Reads the writer's records until the first acknowledgement (a record in
// upper case) or the end of the pipe, and returns what it read.
std::string ReadUntilFirstAck(int fd) {
  std::string text;
  size_t line = 0;  // the first whole line not yet looked at
  for (;;) {
    for (size_t end; (end = text.find('\n', line)) != std::string::npos; line = end + 1) {
      if (std::isupper(static_cast<unsigned char>(text[line]))) return text;
    }
    char buffer[512];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) return text;
    text.append(buffer, static_cast<size_t>(got));
  }
}

std::string ValueOf(const std::string& key) {
  int32_t value = 0;
  if (key == "general") {
    EXPECT_EQ(orxGetPropertyInt(kUpdatePeriod, &value), 0);
  } else {
    EXPECT_EQ(orxGetTaskPropertyInt(Widen(key).c_str(), kSchedTime, &value), 0);
  }
  return std::to_string(value);
}

class KilledWriter : public DataFolderTest {};

TEST_F(KilledWriter, LosesNoListedTaskNoAcknowledgedWriteAndLeavesNoLitter) {
  const std::string main_file = folder_.File("ormix5.ini");
  std::mt19937 random(20261208);
  std::vector<std::string> listed;
  std::map<std::string, std::string> values;  // what each key holds now
  int acknowledgements = 0;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    int pipe_fds[2];
    ASSERT_EQ(pipe(pipe_fds), 0);
    const uint32_t seed = random();
    const pid_t child = StartChild([&] {
      close(pipe_fds[0]);
      return Writer(pipe_fds[1], listed, seed, round * 100000, main_file);
    });
    close(pipe_fds[1]);
    std::string records = ReadUntilFirstAck(pipe_fds[0]);
    const timespec pause{0, static_cast<long>(random() % 20000) * 1000};
    nanosleep(&pause, nullptr);
    kill(child, SIGKILL);
    ASSERT_EQ(WaitForChild(child), 128 + SIGKILL) << "the writer stopped on its own";
    records += ReadToEnd(pipe_fds[0]);
    Replay replay;
    replay.Read(records);
    close(pipe_fds[0]);
    acknowledgements += replay.acknowledgements;

    const std::string file = folder_.Exists("ormix5.ini") ? folder_.Read("ormix5.ini") : "";
    ASSERT_EQ(MalformedLine(file), "") << file;
    const std::vector<std::string> now = ListedIds(file);
    const std::set<std::string> now_set(now.begin(), now.end());
    ASSERT_EQ(now_set.size(), now.size()) << "a task is listed twice\n" << file;

    std::set<std::string> must(listed.begin(), listed.end());
    must.insert(replay.created.begin(), replay.created.end());
    for (const std::string& id : replay.removed) must.erase(id);
    std::set<std::string> may = must;
    for (const std::string& id : replay.removing) must.erase(id);
    for (const std::string& id : must) {
      ASSERT_EQ(now_set.count(id), 1u) << id << " was lost\n" << file;
    }
    int unknown = 0;
    for (const std::string& id : now) unknown += may.count(id) == 0;  // in flight at the kill
    ASSERT_LE(unknown, 1);

    for (const auto& [key, value] : replay.acknowledged) values[key] = value;
    for (auto& [key, value] : values) {
      if (key != "general" && now_set.count(key) == 0) continue;  // removed
      const std::string stored = ValueOf(key);
      const auto flight = replay.in_flight.find(key);
      if (stored != value) {
        ASSERT_TRUE(flight != replay.in_flight.end() && flight->second == stored)
            << key << " holds " << stored << ", acknowledged " << value;
      }
      value = stored;
    }
    ASSERT_LE(LeftoverFiles(folder_.path(), {"ormix5.ini"}).size(), 1u);
    listed = now;
  }
  RecordProperty("acknowledgements", acknowledgements);
  // The writers got far enough, on average, to be killed mid-operation.
  EXPECT_GT(acknowledgements, kRounds);
  ASSERT_EQ(orxSetPropertyInt(kUpdatePeriod, 1), 0);
  EXPECT_EQ(LeftoverFiles(folder_.path(), {"ormix5.ini"}).size(), 0u);
}

}  // namespace
}  // namespace orx::testing
