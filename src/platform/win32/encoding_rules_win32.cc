// The encoding rules of Windows builds, where the platform's own profile
// functions read and write the same files: BOM-less bytes are the ANSI code
// page (GetACP), as those functions take them; new files are ANSI with CRLF
// while every character fits the code page exactly; text that does not fit
// turns the file into UTF-16LE with BOM. UTF-8 is never written: Windows
// reads a UTF-8 BOM as text of the first line.
//
// The codec converts with MultiByteToWideChar and WideCharToMultiByte and
// refuses, rather than substitutes: no best-fit mapping, no default
// character, and the bytes must decode back to the very text.
#include "platform/file_system.h"
#include "platform/win32/windows_api.h"

namespace orx::platform {
namespace {

std::u16string DecodeAnsi(std::string_view bytes) {
  if (bytes.empty()) return std::u16string();
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), length);
  return std::u16string(text.begin(), text.end());
}

std::optional<std::string> EncodeAnsi(std::u16string_view text) {
  if (text.empty()) return std::string();
  const std::wstring wide(text.begin(), text.end());
  const int size = static_cast<int>(wide.size());
  // The UTF-8 code page takes neither flag nor default-character report;
  // the round trip below still catches what it cannot hold.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  BOOL* report = utf8 ? nullptr : &used_default;
  const int length =
      WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, report);
  if (length <= 0 || used_default) return std::nullopt;
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), size, bytes.data(), length, nullptr, report);
  if (used_default || DecodeAnsi(bytes) != text) return std::nullopt;
  return bytes;
}

}  // namespace

const ini::EncodingRules& PlatformEncodingRules() {
  static const ini::SingleByteCodec codec{&DecodeAnsi, &EncodeAnsi};
  static const ini::EncodingRules rules{codec, /*guess_utf8=*/false, ini::Encoding::kWindows1252,
                                        u"\r\n", ini::Encoding::kUtf16Le};
  return rules;
}

}  // namespace orx::platform
