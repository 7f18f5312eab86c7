#include "platform/posix/file_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/posix/fault_injection.h"
#include "platform/posix/syscalls.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

using namespace std::chrono_literals;
using orx::testing::StartChild;
using orx::testing::WaitForChild;

class WriterLockTest : public orx::testing::DataFolderTest {
 protected:
  std::string settings_ = folder_.File("a.ini");
};

// A pipe the child uses to say it holds the lock.
struct Signal {
  int fds[2];
  Signal() { EXPECT_EQ(pipe(fds), 0); }
  ~Signal() {
    close(fds[0]);
    close(fds[1]);
  }
  void Send() { EXPECT_EQ(write(fds[1], "x", 1), 1); }
  void Wait() {
    char c;
    EXPECT_EQ(read(fds[0], &c, 1), 1);
  }
};

TEST_F(WriterLockTest, ThreadsOfOneProcessTakeTurns) {
  std::atomic<int> inside{0};
  std::atomic<int> overlaps{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) {
        Result<WriterLock> lock = WriterLock::Acquire(settings_);
        ASSERT_TRUE(lock.ok());
        if (inside.fetch_add(1) != 0) overlaps.fetch_add(1);
        std::this_thread::yield();
        inside.fetch_sub(1);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(overlaps.load(), 0);
}

TEST_F(WriterLockTest, WaitForAnotherProcessIsBoundedAndSaysSharingViolation) {
  Signal held;
  Signal done;
  pid_t child = StartChild([&] {
    Result<WriterLock> lock = WriterLock::Acquire(settings_);
    if (!lock.ok()) return 1;
    held.Send();
    done.Wait();
    return 0;
  });
  held.Wait();
  auto start = std::chrono::steady_clock::now();
  Result<WriterLock> lock = WriterLock::Acquire(settings_, 200ms);
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(lock.status(), Status::kSharingViolation);
  EXPECT_GE(waited, 200ms);
  EXPECT_LT(waited, 2s);
  done.Send();
  EXPECT_EQ(WaitForChild(child), 0);
  EXPECT_TRUE(WriterLock::Acquire(settings_, 2s).ok());
}

TEST_F(WriterLockTest, KilledHolderReleasesTheLock) {
  Signal held;
  pid_t child = StartChild([&] {
    Result<WriterLock> lock = WriterLock::Acquire(settings_);
    if (!lock.ok()) return 1;
    held.Send();
    pause();
    return 0;
  });
  held.Wait();
  EXPECT_EQ(WriterLock::Acquire(settings_, 50ms).status(), Status::kSharingViolation);
  kill(child, SIGKILL);
  EXPECT_EQ(WaitForChild(child), 128 + SIGKILL);
  EXPECT_TRUE(WriterLock::Acquire(settings_, 2s).ok());
}

TEST_F(WriterLockTest, FailedLockCallIsMappedAndLeavesNothingHeld) {
  {
    ScopedSyscall no_locks(
        &SyscallTable::flock, +[](int, int) {
          errno = ENOLCK;
          return -1;
        });
    EXPECT_EQ(static_cast<int32_t>(WriterLock::Acquire(settings_).status()), 36);
  }
  // The failed attempt must not leave the in-process entry taken.
  EXPECT_TRUE(WriterLock::Acquire(settings_, 100ms).ok());
}

TEST_F(WriterLockTest, MissingFolderIsPathNotFound) {
  EXPECT_EQ(WriterLock::Acquire(folder_.File("absent/a.ini")).status(), Status::kPathNotFound);
}

TEST_F(WriterLockTest, LockFileThatIsALinkIsRefused) {
  std::filesystem::create_symlink("/tmp/elsewhere", folder_.File("a.ini.lock"));
  EXPECT_EQ(static_cast<int32_t>(WriterLock::Acquire(settings_).status()), 1921);
  EXPECT_FALSE(std::filesystem::exists("/tmp/elsewhere"));
}

TEST_F(WriterLockTest, ExistingLockFileThatMayNotBeWrittenStillLocks) {
  { ASSERT_TRUE(WriterLock::Acquire(settings_).ok()); }
  ASSERT_EQ(chmod(folder_.File("a.ini.lock").c_str(), 0444), 0);
  ASSERT_EQ(chmod(folder_.path().c_str(), 0555), 0);
  int code =
      orx::testing::RunAsNobody([&] { return WriterLock::Acquire(settings_, 1s).ok() ? 0 : 1; });
  EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace orx::platform
