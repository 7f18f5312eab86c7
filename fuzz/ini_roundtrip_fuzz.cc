// Any byte string parses, and an unedited document (or a copy of it)
// serialises to exactly the bytes it was read from, under the default
// encoding rules and under rules that never guess UTF-8 (as a Windows build
// reads). What the document holds stays within a few times the input's size.
// Reading every entry of the sections the input names makes the sanitizers
// check the views too, and ASCII text, which the document keeps as its bytes,
// must read as the same text in UTF-16 does, and serialise alike.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini/document.h"

using orx::platform::ini::Decode;
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
      const auto value = document.FindValue(section, entry.key.ToU16());
      // A listed key is found, unless it is a line without '='.
      if (entry.has_equals && !value) std::abort();
      return true;
    });
  }

  bool ascii = true;
  for (size_t i = 0; i < size; ++i) ascii = ascii && data[i] < 0x80;
  if (!ascii) return 0;
  std::string utf16 = "\xFF\xFE";
  for (const char byte : bytes) (utf16 += byte) += '\0';
  const Document wide = Document::FromBytes(utf16);
  Document edited = document;
  Document edited_wide = wide;
  for (size_t i = 0; i <= std::min<size_t>(size, 4); ++i) {
    const std::u16string section = i == 0 ? u"" : std::u16string(1, char16_t{data[i - 1]});
    std::u16string listed, listed_wide;
    auto list = [](std::u16string& out) {
      return [&out](const SectionEntry& entry) {
        entry.key.AppendTo(out);
        out += entry.has_equals ? u'=' : u'|';
        entry.raw_value.AppendTo(out);
        out += u'\n';
        return true;
      };
    };
    if (document.ForEachEntry(section, list(listed)) !=
            wide.ForEachEntry(section, list(listed_wide)) ||
        listed != listed_wide) {
      std::abort();
    }
    for (size_t j = 0; j <= std::min<size_t>(size, 3); ++j) {
      const std::u16string key = j == 0 ? u"k" : std::u16string(1, char16_t{data[size - j]});
      if (document.FindValue(section, key) != wide.FindValue(section, key)) std::abort();
    }
    if (edited.SetValue(section, u"k", u"v") != edited_wide.SetValue(section, u"k", u"v")) {
      std::abort();
    }
  }
  // The same edits leave the same text, each in its document's encoding.
  if (Decode(edited.ToBytes()).text != Decode(edited_wide.ToBytes()).text) std::abort();
  return 0;
}
