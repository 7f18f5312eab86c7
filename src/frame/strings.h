// The language strings in the shapes the access and task layers are written
// against: basGetBaseLang gives the handle of the language module in force,
// LoadStringW copies one of its strings into a caller's buffer. Callers ask
// for the handle anew for every string they load and keep none, so a change
// of language or of a module file shows at the next load.
#ifndef ORX_FRAME_STRINGS_H_
#define ORX_FRAME_STRINGS_H_

#include <cstdint>

namespace orx::platform {
class LanguageModule;
}

namespace orx::frame {

// Opaque handle of a language module. Never null from basGetBaseLang; valid
// for the life of the process.
using ModuleHandle = const platform::LanguageModule*;

// The format of a copied task's label, with one "%s" for the source's label.
// Its text comes from a file anyone may edit: substitute the "%s" by hand
// rather than passing the text to a printf-style function as its format,
// where a "%n" or a second "%s" would read or write past the arguments.
inline constexpr uint32_t kCopiedLabelFormatId = 41111;

// The module for the user's language at this call: the module file that
// ORX_LANGUAGE_MODULE names, else the installed table for the user's
// language, else the built-in English table.
ModuleHandle basGetBaseLang();

// Copies string `id` of `module` into `buffer`: at most size-1 units and a
// terminator (a surrogate pair is never split). Returns the number of units
// copied. A missing or empty string, an unreadable module or a null module
// leaves an empty text and returns 0; `size` 0 or a null `buffer` copies
// nothing and returns 0.
uint32_t LoadStringW(ModuleHandle module, uint32_t id, char16_t* buffer, uint32_t size);

}  // namespace orx::frame

#endif  // ORX_FRAME_STRINGS_H_
