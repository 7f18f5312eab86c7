// The data folder on Windows: ORX_DATA_FOLDER when set and non-empty (read
// with GetEnvironmentVariableW at every initialisation), otherwise the
// common application-data folder (FOLDERID_ProgramData) plus "\ormix".
// Trailing separators are dropped, so DataFolder, which appends one, ends
// with exactly one. The text lives in a thread-local string between
// cmnbInit and cmnbFree.
#include <shlobj.h>
#include "platform/win32/windows_api.h"

#include <string>

#include "platform/data_folder.h"
#include "platform/win32/win32_util.h"

namespace orx::platform {
namespace {

thread_local std::u16string data_path;

std::wstring FolderFromEnvironment() {
  if (auto folder = win32::NonEmptyEnvironment(L"ORX_DATA_FOLDER")) return *folder;
  PWSTR common = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &common))) {
    folder = common;
    folder += L"\\ormix";
  }
  CoTaskMemFree(common);
  return folder;
}

}  // namespace

int32_t cmnbInit(int32_t /*flags*/) {
  std::wstring folder = FolderFromEnvironment();
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  data_path.assign(folder.begin(), folder.end());
  return 0;
}

const char16_t* fsGetOrmixDataPath() { return data_path.c_str(); }

int32_t cmnbFree(int32_t /*flags*/) {
  data_path.clear();
  data_path.shrink_to_fit();
  return 0;
}

}  // namespace orx::platform
