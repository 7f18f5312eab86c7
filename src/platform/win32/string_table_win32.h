// Language modules on Windows, exposed for tests: they build instances over
// a language folder and an interface language of their own. The library
// itself uses DefaultLanguageModules (platform/string_table.h).
//
// A module is a resource-only DLL whose STRINGTABLE holds the strings. It is
// loaded as a data file (nothing in it runs), its strings read with
// LoadStringW, and it is unloaded again; the table is kept with the file's
// identity and read again when the file changes, as on Linux.
#ifndef ORX_PLATFORM_WIN32_STRING_TABLE_WIN32_H_
#define ORX_PLATFORM_WIN32_STRING_TABLE_WIN32_H_

#include "platform/win32/windows_api.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/string_table.h"

namespace orx::platform::win32 {

// Every string of `module`'s STRINGTABLE resources, read with LoadStringW.
StringTable ResourceStringTable(HMODULE module);

// The names of the language DLLs to try for interface locale `locale`
// ("de-DE"), best first: the locale, then its language ("de"). Empty for an
// empty or unsafe name.
std::vector<std::wstring> LanguageDllCandidates(const std::wstring& locale);

// Language modules choosing, when ORX_LANGUAGE_MODULE is unset, among
// "<folder>\<candidate>.dll" for interface locale `locale`, else the English
// strings of the library's own resources.
std::unique_ptr<LanguageModules> NewWin32LanguageModules(std::wstring folder, std::wstring locale);

}  // namespace orx::platform::win32

#endif  // ORX_PLATFORM_WIN32_STRING_TABLE_WIN32_H_
