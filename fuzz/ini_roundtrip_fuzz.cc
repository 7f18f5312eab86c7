// Any byte string parses, and an unedited document (or a copy of it)
// serialises to exactly the bytes it was read from. Reading every entry of
// the sections the input names makes the sanitizers check the views too.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini/document.h"

using orx::platform::ini::Document;
using orx::platform::ini::SectionEntry;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const Document document = Document::FromBytes(bytes);
  if (document.ToBytes() != bytes || document.changed()) std::abort();
  const Document copy = document;
  if (copy.ToBytes() != bytes) std::abort();

  // Sections named by the first bytes, one unit each, and the empty name.
  for (size_t i = 0; i <= std::min<size_t>(size, 4); ++i) {
    const std::u16string section = i == 0 ? u"" : std::u16string(1, char16_t{data[i - 1]});
    document.ForEachEntry(section, [&](const SectionEntry& entry) {
      const auto value = document.FindValue(section, entry.key);
      // A listed key is found, unless it is a line without '='.
      if (entry.has_equals && !value) std::abort();
      return true;
    });
  }
  return 0;
}
