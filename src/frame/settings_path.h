// DataFolder and BuildSettingsPath: the rule by which a settings file name
// becomes a full path. DataFolder is the product's data folder with one '/'
// appended, set by InitLibrary; before that it is empty and every settings
// path is a bare file name.
#ifndef ORX_FRAME_SETTINGS_PATH_H_
#define ORX_FRAME_SETTINGS_PATH_H_

#include <cstddef>
#include <cstdint>
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

// A path in the buffer the calling thread keeps (ThreadSettingsPath): valid,
// and zero-terminated, until the thread's next call; with the number of the
// build that wrote it.
// A thread never reuses a number, so paths with an equal nonzero number are
// the very same text, and a caller may remember what it found out about a
// path by its number instead of comparing the text.
struct ThreadPath {
  std::u16string_view text;
  uint64_t build = 0;
};

// BuildSettingsPath into the buffer the calling thread keeps. A call naming
// the same file as the thread's last one, in the same data folder, compares
// the names and builds nothing (the number stays). Errors as
// BuildSettingsPath's; the path is then empty, numbered 0.
Status ThreadSettingsPath(std::u16string_view name, std::u16string_view suffix, ThreadPath& path);

// ThreadSettingsPath of a name without suffix that lives, unchanged, as long
// as the process (a catalogue string): the thread's last path is recognised
// by the name's address, unmeasured.
Status ThreadSettingsPathOfConstant(const char16_t* name, ThreadPath& path);

}  // namespace orx::frame

#endif  // ORX_FRAME_SETTINGS_PATH_H_
