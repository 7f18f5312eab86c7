// The English table compiled into the library. The build embeds the bytes of
// the en.lang it compiles from lang/orxProperty.pot (builtin_en_lang.inc), so
// the installed file and the built-in copy cannot drift apart; they are
// parsed by the same code.
#include <string_view>

#include "platform/string_table.h"

namespace orx::platform {
namespace {

// The trailing zero keeps the array non-empty even for an empty file; it is
// not part of the text.
constexpr unsigned char kEnglishTableBytes[] = {
#include "builtin_en_lang.inc"
    0};

}  // namespace

const StringTable& BuiltinEnglishTable() {
  static const StringTable* const table = new StringTable(StringTable::Parse(std::string_view(
      reinterpret_cast<const char*>(kEnglishTableBytes), sizeof(kEnglishTableBytes) - 1)));
  return *table;
}

}  // namespace orx::platform
