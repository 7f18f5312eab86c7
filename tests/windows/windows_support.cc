// The Windows tests' helper process and profile calls.
#include "windows_support.h"

#include <gtest/gtest.h>

#include "frame/profile.h"

namespace orx::testing {
namespace {

std::wstring HelperPath() {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, length);
  path.resize(path.find_last_of(L"\\/") + 1);
  return path + L"orx_windows_helper.exe";
}

const char16_t* U16(const std::wstring& text) {
  return reinterpret_cast<const char16_t*>(text.c_str());
}

}  // namespace

HelperProcess::HelperProcess(const std::vector<std::wstring>& arguments) {
  std::wstring command = L"\"" + HelperPath() + L"\"";
  for (const std::wstring& argument : arguments) command += L" \"" + argument + L"\"";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return;
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION info{};
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    output_ = read_end;
  } else {
    ADD_FAILURE() << "cannot start the helper: error " << GetLastError();
    CloseHandle(read_end);
  }
  CloseHandle(write_end);
}

HelperProcess::~HelperProcess() {
  if (process_ != nullptr) {
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) Terminate();
    CloseHandle(process_);
  }
  if (output_ != nullptr) CloseHandle(output_);
}

bool HelperProcess::WaitForLine(const std::string& line) {
  for (;;) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string got = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!got.empty() && got.back() == '\r') got.pop_back();
      if (got == line) return true;
      continue;
    }
    char chunk[256];
    DWORD count = 0;
    if (output_ == nullptr || !ReadFile(output_, chunk, sizeof chunk, &count, nullptr) ||
        count == 0) {
      return false;
    }
    pending_.append(chunk, count);
  }
}

int HelperProcess::Wait(DWORD timeout_ms) {
  if (process_ == nullptr || WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return static_cast<int>(code);
}

void HelperProcess::Terminate() {
  if (process_ == nullptr) return;
  TerminateProcess(process_, 9);
  WaitForSingleObject(process_, INFINITE);
}

std::wstring Wide(const std::string& utf8) {
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length,
                      nullptr, nullptr);
  return utf8;
}

std::wstring LibraryRead(const std::wstring& path, const std::wstring& section,
                         const std::wstring& key) {
  char16_t buffer[4096];
  const uint32_t length =
      frame::ProfileRead(U16(section), U16(key), u"<missing>", buffer, 4096, U16(path));
  return std::wstring(buffer, buffer + length);
}

bool LibraryWrite(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                  const std::wstring& value) {
  return frame::ProfileWrite(U16(section), U16(key), U16(value), U16(path));
}

std::wstring PlatformRead(const std::wstring& path, const std::wstring& section,
                          const std::wstring& key) {
  wchar_t buffer[4096];
  const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<missing>", buffer,
                                                4096, path.c_str());
  return std::wstring(buffer, length);
}

bool PlatformWrite(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                   const std::wstring& value) {
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str());
}

std::vector<std::wstring> TemporaryFilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*.tmp-*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.emplace_back(found.cFileName);
  while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

}  // namespace orx::testing
