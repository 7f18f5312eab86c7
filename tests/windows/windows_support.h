// Support for the Windows-specific tests: the helper process they start,
// wide-string paths of a test's data folder, and the library's and the
// platform's own profile calls side by side.
#ifndef ORX_TESTS_WINDOWS_WINDOWS_SUPPORT_H_
#define ORX_TESTS_WINDOWS_WINDOWS_SUPPORT_H_

#include <windows.h>
#undef ReplaceFile

#include <string>
#include <vector>

namespace orx::testing {

// A running orx_windows_helper.exe (beside the test program) with its
// arguments; its standard output is a pipe read by WaitForLine.
class HelperProcess {
 public:
  explicit HelperProcess(const std::vector<std::wstring>& arguments);
  ~HelperProcess();  // terminates the process when it still runs
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;

  bool started() const { return process_ != nullptr; }
  // Reads output until a line equal to `line` (true) or end of output.
  bool WaitForLine(const std::string& line);
  // Waits for the exit; the exit code, or -1 after `timeout_ms`.
  int Wait(DWORD timeout_ms = 60'000);
  void Terminate();

 private:
  HANDLE process_ = nullptr;
  HANDLE output_ = nullptr;
  std::string pending_;
};

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// The library's profile read and write of one key, on a wide path.
std::wstring LibraryRead(const std::wstring& path, const std::wstring& section,
                         const std::wstring& key);
bool LibraryWrite(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                  const std::wstring& value);

// The platform's own: GetPrivateProfileStringW and WritePrivateProfileStringW.
std::wstring PlatformRead(const std::wstring& path, const std::wstring& section,
                          const std::wstring& key);
bool PlatformWrite(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                   const std::wstring& value);

// The names in `folder` that look like temporary files of a write.
std::vector<std::wstring> TemporaryFilesIn(const std::wstring& folder);

}  // namespace orx::testing

#endif  // ORX_TESTS_WINDOWS_WINDOWS_SUPPORT_H_
