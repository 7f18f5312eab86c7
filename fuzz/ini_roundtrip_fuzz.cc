// Any byte string parses, and an unedited document (or a copy of it)
// serialises to exactly the bytes it was read from, under the default
// encoding rules and under rules that never guess UTF-8 (as a Windows build
// reads). What the document holds stays within a few times the input's size.
// Reading every entry of the sections the input names makes the sanitizers
// check the views too.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini/document.h"

using orx::platform::ini::Document;
using orx::platform::ini::Encoding;
using orx::platform::ini::EncodingRules;
using orx::platform::ini::SectionEntry;
using orx::platform::ini::Windows1252Codec;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const Document document = Document::FromBytes(bytes);
  if (document.ToBytes() != bytes || document.changed()) std::abort();
  const Document copy = document;
  if (copy.ToBytes() != bytes) std::abort();
  // Worst case, a file of distinct names on lines of three bytes: per line
  // six bytes of text, a record or two of four bytes, and up to four index
  // slots of eight bytes (tables grow at half full).
  if (document.MemoryUsage() > 16 * size + 4096) std::abort();

  static const EncodingRules never_guess{Windows1252Codec(), false, Encoding::kWindows1252, u"\r\n",
                                         Encoding::kUtf16Le};
  if (Document::FromBytes(bytes, never_guess).ToBytes() != bytes) std::abort();

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
