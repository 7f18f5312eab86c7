// orx_windows_helper: the second process of the Windows tests. Each command
// does one thing another program would do to a settings file, prints
// "ready" once it is doing it, and exits 0 when done (2 on bad usage).
//   hold PATH rw|rwd MS      open PATH sharing read and write (and delete)
//                            and keep it open for MS milliseconds
//   lock PATH MS             hold the library's writer lock of PATH for MS
//   write-loop PATH          write key [state] counter through the library,
//                            1, 2, 3, ... until terminated
//   platform-write PATH N    write key [state] counter N times through the
//                            platform's WritePrivateProfileStringW
#include <windows.h>
#undef ReplaceFile

#include <cstdio>
#include <cwchar>
#include <string>

#include "frame/profile.h"
#include "platform/file_system.h"

namespace {

const char16_t* U16(const std::wstring& text) {
  return reinterpret_cast<const char16_t*>(text.c_str());
}

void Ready() {
  std::printf("ready\n");
  std::fflush(stdout);
}

int Hold(const std::wstring& path, const std::wstring& share, DWORD ms) {
  DWORD mode = FILE_SHARE_READ | FILE_SHARE_WRITE;
  if (share == L"rwd") mode |= FILE_SHARE_DELETE;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, mode, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  Ready();
  Sleep(ms);
  CloseHandle(file);
  return 0;
}

int Lock(const std::wstring& path, DWORD ms) {
  auto lock = orx::platform::WriterLock::Acquire(path);
  if (!lock.ok()) return 1;
  Ready();
  Sleep(ms);
  return 0;
}

int WriteLoop(const std::wstring& path) {
  for (unsigned long i = 1;; ++i) {
    const std::wstring value = std::to_wstring(i);
    if (!orx::frame::ProfileWrite(u"state", u"counter", U16(value), U16(path))) return 1;
    if (i == 1) Ready();
  }
}

int PlatformWrite(const std::wstring& path, unsigned long count) {
  Ready();
  for (unsigned long i = 1; i <= count; ++i) {
    const std::wstring value = std::to_wstring(i);
    if (!WritePrivateProfileStringW(L"state", L"counter", value.c_str(), path.c_str())) return 1;
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"hold" && argc == 5)
    return Hold(argv[2], argv[3], std::wcstoul(argv[4], nullptr, 10));
  if (command == L"lock" && argc == 4) return Lock(argv[2], std::wcstoul(argv[3], nullptr, 10));
  if (command == L"write-loop" && argc == 3) return WriteLoop(argv[2]);
  if (command == L"platform-write" && argc == 4) {
    return PlatformWrite(argv[2], std::wcstoul(argv[3], nullptr, 10));
  }
  std::fprintf(stderr, "usage: orx_windows_helper hold|lock|write-loop|platform-write ...\n");
  return 2;
}
