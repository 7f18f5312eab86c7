// The POSIX language modules, exposed for tests: they build instances over a
// tables' folder of their own and with a chosen re-read window. The library
// itself uses DefaultLanguageModules (platform/string_table.h).
#ifndef ORX_PLATFORM_POSIX_STRING_TABLE_POSIX_H_
#define ORX_PLATFORM_POSIX_STRING_TABLE_POSIX_H_

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/string_table.h"

namespace orx::platform {

// Larger module files are treated as unreadable rather than read into memory.
inline constexpr size_t kMaxModuleFileBytes = 8 << 20;

// A file changed less than this long before it was read may change again
// without a visible change of its size or time stamps (time stamps are only
// as fine as the file system keeps them, up to 2 s), so until the window has
// passed each load reads it again and compares the bytes.
inline constexpr std::chrono::nanoseconds kDefaultRereadWindow = std::chrono::seconds(2);

struct LanguageModulesOptions {
  // Folder of the installed tables "<name>.lang"; empty: none installed.
  std::string installed_folder;
  std::chrono::nanoseconds reread_window = kDefaultRereadWindow;
};

std::unique_ptr<LanguageModules> NewPosixLanguageModules(LanguageModulesOptions options);

// What a stat() tells of a module file that a change of its content moves.
struct ModuleFileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  int64_t modified_ns = 0;
  int64_t changed_ns = 0;

  bool operator==(const ModuleFileIdentity&) const = default;
};

// True when a table read from a file of identity `cached`, in a read that
// began at `read_started_ns` (CLOCK_REALTIME), still holds for a file whose
// identity is now `current`: the identity is the same and the file was last
// touched more than `reread_window_ns` before that read began.
bool CachedTableIsCurrent(const ModuleFileIdentity& cached, int64_t read_started_ns,
                          const ModuleFileIdentity& current, int64_t reread_window_ns);

// The installed tables' folder fixed at build time (empty when the build
// named none).
const char* InstalledLanguageFolder();

}  // namespace orx::platform

#endif  // ORX_PLATFORM_POSIX_STRING_TABLE_POSIX_H_
