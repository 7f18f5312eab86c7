// The writer lock of a settings file on Windows: an exclusive LockFileEx on
// the first byte of the companion file "<file>.lock", created on first use
// and never moved or removed (removal would race: two writers could each
// lock a different file). Byte-range locks belong to the handle, so threads
// of one process exclude each other as processes do, and the system drops
// the lock when its holder dies. The wait is a poll with back-off, bounded
// by the timeout, then kSharingViolation as the system's own locked-file
// error.
#include "platform/win32/windows_api.h"

#include "platform/file_system.h"
#include "platform/win32/win32_util.h"

namespace orx::platform {

struct WriterLock::Held {
  win32::ScopedHandle file;
  ~Held() {
    OVERLAPPED range{};
    if (file.valid()) UnlockFileEx(file.get(), 0, 1, 0, &range);
  }
};

Result<WriterLock> WriterLock::Acquire(const NativePath& target,
                                       std::chrono::milliseconds timeout) {
  const NativePath lock_path = target + L".lock";
  win32::ScopedHandle file(CreateFileW(lock_path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return win32::LastErrorStatus();
  win32::Backoff backoff(timeout);
  for (;;) {
    OVERLAPPED range{};
    if (LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                   &range)) {
      break;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
      return win32::StatusFromError(error);
    }
    if (!backoff.Wait()) return Status::kSharingViolation;
  }
  auto held = std::make_unique<Held>();
  held->file = std::move(file);
  return WriterLock(std::move(held));
}

WriterLock::WriterLock(std::unique_ptr<Held> held) : held_(std::move(held)) {}
WriterLock::WriterLock(WriterLock&& other) noexcept = default;
WriterLock::~WriterLock() = default;

}  // namespace orx::platform
