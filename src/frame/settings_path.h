// DataFolder and BuildSettingsPath: the rule by which a settings file name
// becomes a full path. DataFolder is the product's data folder with one '/'
// appended, set by InitLibrary; before that it is empty and every settings
// path is a bare file name.
#ifndef ORX_FRAME_SETTINGS_PATH_H_
#define ORX_FRAME_SETTINGS_PATH_H_

#include <cstddef>
#include <string_view>

#include "base/status.h"

namespace orx::frame {

// Capacity of DataFolder and of every settings path, terminator included.
inline constexpr size_t kMaxPath = 260;

using SettingsPath = char16_t[kMaxPath];

// The platform's path separator, appended to the data folder.
#if defined(_WIN32)
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// The current DataFolder text (empty before initialisation, or when the
// folder did not fit). Stays valid until the library is unloaded. Each
// SetDataFolder publishes its text at a new address, never reused, so a
// caller that remembers data() knows whether a path it built is current.
std::u16string_view DataFolder();

// Recomputes DataFolder from the data folder the environment names; called
// by orxPropertyInitLibrary under the library lock.
void SetDataFolder(std::u16string_view folder);

// Writes DataFolder + `name` + `suffix` into `path`. Returns kOk, or
// kFilenameExcedRange when the data folder is unusable or the path does not
// fit in kMaxPath with its terminator; `path` is then the empty string and
// must not be used.
Status BuildSettingsPath(SettingsPath& path, std::u16string_view name,
                         std::u16string_view suffix = {});

}  // namespace orx::frame

#endif  // ORX_FRAME_SETTINGS_PATH_H_
