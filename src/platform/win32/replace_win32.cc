// Atomic replacement of a settings file on Windows: the new content goes to
// a temporary file ".<name>.tmp-<pid>-<sequence>" in the same folder, is
// flushed with FlushFileBuffers, takes over the old file's attributes and
// access control list, and then takes the file's place in one rename,
// MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH.
//
// ReplaceFileW would carry the ACL and attributes over itself, but it is not
// one step everywhere: under Wine a writer killed inside it leaves no file at
// all (the old one removed, the new one not yet in place). One rename keeps
// the promise that a reader or a crash sees the old file or the new one.
//
// The rename is retried while another program holds the file open without
// delete sharing (5, 32), within a bounded budget. The temporary file is
// removed on every failure, and after a crash by the next writer under the
// lock (RemoveAbandonedTemporaries).
#include "platform/win32/replace_win32.h"

#include "platform/win32/windows_api.h"

#include <atomic>
#include <cwchar>

#include "platform/win32/win32_util.h"

namespace orx::platform {
namespace win32 {
namespace {

constexpr std::wstring_view kTemporaryMarker = L".tmp-";
constexpr int kCreateAttempts = 16;

std::atomic<uint64_t> temporary_sequence{static_cast<uint64_t>(GetTickCount64())};

size_t NameStart(const NativePath& path) {
  const size_t separator = path.find_last_of(L"\\/");
  return separator == NativePath::npos ? 0 : separator + 1;
}

NativePath NewTemporaryPath(const NativePath& target) {
  wchar_t suffix[48];
  swprintf(suffix, 48, L"%lx-%llx", static_cast<unsigned long>(GetCurrentProcessId()),
           static_cast<unsigned long long>(temporary_sequence.fetch_add(1)));
  const size_t start = NameStart(target);
  NativePath path = target.substr(0, start);
  path += L'.';
  path.append(target, start);
  path += kTemporaryMarker;
  path += suffix;
  return path;
}

bool IsRetryable(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION;
}

// The temporary file until it has taken the target's place.
class PendingTemporary {
 public:
  ~PendingTemporary() {
    file_.Reset();
    if (!path_.empty()) DeleteFileW(path_.c_str());
  }

  Status Create(const NativePath& target) {
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
      NativePath candidate = NewTemporaryPath(target);
      ScopedHandle file(CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
      if (file.valid()) {
        file_ = std::move(file);
        path_ = std::move(candidate);
        return Status::kOk;
      }
      if (GetLastError() != ERROR_FILE_EXISTS) return LastErrorStatus();
    }
    return Status::kAlreadyExists;
  }

  Status WriteAndFlush(const ByteSource& source) {
    for (std::optional<std::string_view> bytes = source(); !bytes || !bytes->empty();
         bytes = source()) {
      if (!bytes) return Status::kGenFailure;
      while (!bytes->empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes->size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file_.get(), bytes->data(), chunk, &written, nullptr)) {
          return LastErrorStatus();
        }
        bytes->remove_prefix(written);
      }
    }
    if (!FlushFileBuffers(file_.get())) return LastErrorStatus();
    file_.Reset();
    return Status::kOk;
  }

  const NativePath& path() const { return path_; }
  void Committed() { path_.clear(); }

 private:
  ScopedHandle file_;
  NativePath path_;
};

// What ReplaceFileW would keep of the old file: its attributes (hidden,
// system, archive, ...) and its access control list. Best effort: a file
// whose ACL cannot be read gets the folder's inherited one, as a new file.
void CarryOver(const NativePath& target, const NativePath& temporary) {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;  // a new file
  DWORD needed = 0;
  GetFileSecurityW(target.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
  if (needed > 0) {
    std::string descriptor(needed, '\0');
    if (GetFileSecurityW(target.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), needed,
                         &needed)) {
      SetFileSecurityW(temporary.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
    }
  }
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if ((attributes & kKept) != 0) SetFileAttributesW(temporary.c_str(), attributes & kKept);
}

// One attempt at putting `temporary` in `target`'s place; the Win32 error,
// or ERROR_SUCCESS.
DWORD PutInPlace(const NativePath& temporary, const NativePath& target) {
  if (MoveFileExW(temporary.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return ERROR_SUCCESS;
  }
  return GetLastError();
}

}  // namespace

Result<FileIdentity> ReplaceFileWithin(const NativePath& target, const ByteSource& source,
                                       std::chrono::milliseconds budget, ReplaceStats* stats) {
  // A read-only file is left alone, as the system's own writer leaves it.
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return Status::kAccessDenied;
  }
  PendingTemporary temporary;
  if (Status status = temporary.Create(target); status != Status::kOk) return status;
  if (Status status = temporary.WriteAndFlush(source); status != Status::kOk) return status;
  CarryOver(target, temporary.path());

  Backoff backoff(budget);
  DWORD error;
  while ((error = PutInPlace(temporary.path(), target)) != ERROR_SUCCESS) {
    if (!IsRetryable(error) || !backoff.Wait()) break;
  }
  if (stats != nullptr) stats->retries = backoff.retries();
  if (error != ERROR_SUCCESS) return StatusFromError(error);
  temporary.Committed();
  return StatFile(target);
}

bool IsTemporaryOf(std::wstring_view name, std::wstring_view base) {
  if (name.size() <= base.size() + 1 + kTemporaryMarker.size() || name[0] != L'.') return false;
  name.remove_prefix(1);
  // File names compare without regard to case on Windows.
  if (CompareStringOrdinal(name.data(), static_cast<int>(base.size()), base.data(),
                           static_cast<int>(base.size()), TRUE) != CSTR_EQUAL) {
    return false;
  }
  name.remove_prefix(base.size());
  return name.starts_with(kTemporaryMarker);
}

}  // namespace win32

Result<FileIdentity> ReplaceFile(const NativePath& target, const ByteSource& source) {
  return win32::ReplaceFileWithin(target, source, win32::kReplaceBudget);
}

void RemoveAbandonedTemporaries(const NativePath& target) {
  const size_t start = win32::NameStart(target);
  const NativePath folder = target.substr(0, start);
  const std::wstring_view base = std::wstring_view(target).substr(start);
  NativePath pattern = folder;
  pattern += L'.';
  pattern += base;
  pattern += win32::kTemporaryMarker;
  pattern += L'*';
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (win32::IsTemporaryOf(found.cFileName, base)) {
      DeleteFileW((folder + found.cFileName).c_str());
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace orx::platform
