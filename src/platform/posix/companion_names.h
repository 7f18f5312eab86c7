// The names of the files that accompany a settings file in its folder: its
// lock file and its temporary files. Both are built from the settings file's
// own name, so a name near the system's limit of 255 bytes would leave no
// room for the suffix; such names are shortened to a prefix of the name plus
// a hash of the whole name, which keeps them distinct per settings file and
// stable between processes (every writer must agree on the lock file).
#ifndef ORX_PLATFORM_POSIX_COMPANION_NAMES_H_
#define ORX_PLATFORM_POSIX_COMPANION_NAMES_H_

#include <string>
#include <string_view>

namespace orx::platform {

// The last component of `path` (all of it when it has no slash).
std::string_view NameOf(std::string_view path);

// The bare name of the lock file of the settings file named `name`:
// "<name>.lock", or "<prefix>~<hash>.lock" when that would not fit.
std::string LockFileName(std::string_view name);

// Every temporary file of the settings file named `name` is this prefix
// followed by hex digits and dashes: ".<name>.tmp-", or
// ".<prefix>~<hash>.tmp~" when a temporary would not fit. The two forms
// cannot be mistaken for each other.
std::string TemporaryPrefix(std::string_view name);

// The longest suffix a temporary file adds after TemporaryPrefix: a pid and
// a sequence number in hex with a dash between them.
inline constexpr size_t kLongestTemporarySuffix = 8 + 1 + 16;

}  // namespace orx::platform

#endif  // ORX_PLATFORM_POSIX_COMPANION_NAMES_H_
