// Paths, identities and whole-file reads on Windows.
//
// Files are opened sharing read, write and delete, so a reader never stands
// in the way of a writer, a rename or a delete by another program. The
// platform's own profile writer rewrites a file in place (truncate, then
// write), so a read can see it cut: a read counts only when the identity
// (volume serial, file index, size, last-write and change times) is the same
// before and after it and it returned exactly the size, and is repeated,
// with a short back-off, until one is whole. A file that never holds still
// for a whole read gives kSharingViolation rather than a torn document.
//
// The timestamp tick of the racy-read rule is the file system's: FAT keeps
// last-write times in 2 s steps, the others in 100 ns steps updated from the
// system clock; the tick of each volume is learnt when one of its files is
// first opened.
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/file_system.h"
#include "platform/win32/win32_util.h"

namespace orx::platform {
namespace {

using win32::LastErrorStatus;
using win32::ScopedHandle;

constexpr int64_t kNsPerSecond = 1'000'000'000;
constexpr int64_t kFineTickNs = 20'000'000;
constexpr int64_t kFatTickNs = 2 * kNsPerSecond;
// How long a file changed just before it was read must then hold still.
constexpr DWORD kSettleMs = 10;
// A file rewritten in place over and over is read again for this long.
constexpr std::chrono::milliseconds kWholeReadBudget{2'000};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::mutex volume_ticks_mutex;
std::map<uint64_t, int64_t>& VolumeTicks() {
  static auto* const ticks = new std::map<uint64_t, int64_t>;
  return *ticks;
}

void LearnVolumeTick(HANDLE file, uint64_t volume) {
  {
    std::lock_guard<std::mutex> lock(volume_ticks_mutex);
    if (VolumeTicks().contains(volume)) return;
  }
  wchar_t name[MAX_PATH + 1] = {};
  int64_t tick = kFineTickNs;
  if (GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, nullptr, name,
                                    MAX_PATH + 1) &&
      (wcscmp(name, L"FAT") == 0 || wcscmp(name, L"FAT32") == 0)) {
    tick = kFatTickNs;
  }
  std::lock_guard<std::mutex> lock(volume_ticks_mutex);
  VolumeTicks().emplace(volume, tick);
}

int64_t TickOf(const FileIdentity& identity) {
  std::lock_guard<std::mutex> lock(volume_ticks_mutex);
  auto it = VolumeTicks().find(identity.volume);
  return it != VolumeTicks().end() ? it->second : kFineTickNs;
}

Result<FileIdentity> IdentityOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return LastErrorStatus();
  FILE_BASIC_INFO basic;
  if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
    return LastErrorStatus();
  }
  FileIdentity identity;
  identity.volume = info.dwVolumeSerialNumber;
  identity.file_id = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  identity.size = static_cast<int64_t>((uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
  identity.mtime_ns = win32::FileTimeToNs(basic.LastWriteTime.QuadPart);
  // FAT keeps no change time; the last write stands in for it.
  identity.ctime_ns = basic.ChangeTime.QuadPart != 0
                          ? win32::FileTimeToNs(basic.ChangeTime.QuadPart)
                          : identity.mtime_ns;
  LearnVolumeTick(file, identity.volume);
  return identity;
}

// Reads from the start to end of file, holding at most `max_size` + 1 bytes.
Status ReadFromStart(HANDLE file, int64_t expected_size, int64_t max_size, std::string& out) {
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return LastErrorStatus();
  const size_t limit = static_cast<size_t>(max_size) + 1;
  out.resize(std::min(static_cast<size_t>(expected_size) + 1, limit));
  size_t filled = 0;
  for (;;) {
    if (filled == out.size()) {
      if (filled >= limit) return Status::kFileTooLarge;
      out.resize(std::min(out.size() * 2, limit));
    }
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(out.size() - filled, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file, out.data() + filled, chunk, &got, nullptr)) return LastErrorStatus();
    if (got == 0) break;
    filled += got;
  }
  out.resize(filled);
  return Status::kOk;
}

}  // namespace

Result<NativePath> ToNativePath(std::u16string_view path) {
  if (path.find(u'\0') != std::u16string_view::npos) return Status::kInvalidName;
  return NativePath(path.begin(), path.end());
}

Result<FileIdentity> StatFile(const NativePath& path) {
  // Attribute access only, and backup semantics so a folder opens too.
  ScopedHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return LastErrorStatus();
  return IdentityOf(file.get());
}

Result<FileContents> ReadWholeFile(const NativePath& path, int64_t max_size) {
  win32::Backoff backoff(kWholeReadBudget);
  for (;;) {
    FileContents contents;
    contents.read_started_ns = NowNs();
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
      // A writer that shares nothing holds the file for a moment only.
      if (GetLastError() == ERROR_SHARING_VIOLATION && backoff.Wait()) continue;
      return LastErrorStatus();
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return Status::kAccessDenied;
    Result<FileIdentity> before = IdentityOf(file.get());
    if (!before.ok()) return before.status();
    if (before->size > max_size) return Status::kFileTooLarge;
    if (Status status = ReadFromStart(file.get(), before->size, max_size, contents.bytes);
        status != Status::kOk) {
      return status;
    }
    Result<FileIdentity> after = IdentityOf(file.get());
    if (!after.ok()) return after.status();
    if (*after == *before && static_cast<int64_t>(contents.bytes.size()) == before->size) {
      contents.identity = *before;
      if (!IsRacilyClean(contents.identity, contents.read_started_ns)) return contents;
      // Changed just before the read: an in-place writer may be between two
      // of its writes, with the file a consistent but cut prefix. One that
      // is still at work changes the file again within the settling time.
      Sleep(kSettleMs);
      Result<FileIdentity> settled = IdentityOf(file.get());
      if (!settled.ok()) return settled.status();
      if (*settled == contents.identity) return contents;
    }
    if (!backoff.Wait()) return Status::kSharingViolation;
  }
}

// The whole-file read already waits for a file the platform's writer is
// rewriting in place to settle; comparing its result keeps one definition of
// a settled read. A file larger than `expected_size` is simply not the same.
Result<FileComparison> CompareWithFile(const NativePath& path, int64_t expected_size,
                                       const ExpectedBytes& expected) {
  FileComparison comparison;
  Result<FileContents> contents = ReadWholeFile(path, expected_size);
  if (!contents.ok()) {
    if (contents.status() == Status::kFileTooLarge) return comparison;
    return contents.status();
  }
  comparison.identity = contents->identity;
  comparison.read_started_ns = contents->read_started_ns;
  comparison.same =
      static_cast<int64_t>(contents->bytes.size()) == expected_size && expected(contents->bytes);
  return comparison;
}

bool IsRacilyClean(const FileIdentity& identity, int64_t read_started_ns) {
  const int64_t last_change = std::max(identity.mtime_ns, identity.ctime_ns);
  return read_started_ns - last_change < TickOf(identity);
}

bool IsRacilyWritten(const FileIdentity& written) { return IsRacilyClean(written, NowNs()); }

int64_t NowNs() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  return win32::FileTimeToNs(
      static_cast<int64_t>((uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime));
}

Result<NativePath> ResolveTarget(const NativePath& path) { return path; }

}  // namespace orx::platform
