// The POSIX language modules, exposed for tests: they build instances over a
// tables' folder of their own. The library itself uses DefaultLanguageModules
// (platform/string_table.h).
#ifndef ORX_PLATFORM_POSIX_STRING_TABLE_POSIX_H_
#define ORX_PLATFORM_POSIX_STRING_TABLE_POSIX_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/string_table.h"

namespace orx::platform {

// Larger module files are treated as unreadable rather than read into memory.
inline constexpr int64_t kMaxModuleFileBytes = int64_t{8} << 20;

// Language modules over `installed_folder`, the folder of the installed
// tables "<name>.lang" (empty: none installed).
std::unique_ptr<LanguageModules> NewPosixLanguageModules(std::string installed_folder);

// The installed tables' folder: `relative` (the path from the library's
// folder to the tables' folder as installed) taken from `library_folder`
// when that folder exists, else `configured`, the absolute path fixed at
// build time. An empty `library_folder` or `relative` skips the first.
std::string LanguageFolderFor(const std::string& library_folder, const std::string& relative,
                              const std::string& configured);

// LanguageFolderFor of the folder this library was loaded from and the
// paths fixed at build time (empty when the build named none).
const char* InstalledLanguageFolder();

}  // namespace orx::platform

#endif  // ORX_PLATFORM_POSIX_STRING_TABLE_POSIX_H_
