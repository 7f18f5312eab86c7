// One read, one pass over the lines with memchr, no allocation per line: the
// cheapest form of read-and-scan, so the comparison flatters the baseline.
#include "naive_profile_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace orx::bench {
namespace {

std::string_view Trim(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t\v\r");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t\v\r");
  return text.substr(begin, end - begin + 1);
}

bool EqualsAsciiIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'a' && a[i] <= 'z' ? a[i] - 32 : a[i];
    char y = b[i] >= 'a' && b[i] <= 'z' ? b[i] - 32 : b[i];
    if (x != y) return false;
  }
  return true;
}

uint32_t Copy(std::string_view text, char16_t* buffer, uint32_t size) {
  size_t copied = std::min<size_t>(text.size(), size - 1);
  for (size_t i = 0; i < copied; ++i) buffer[i] = static_cast<unsigned char>(text[i]);
  buffer[copied] = u'\0';
  return static_cast<uint32_t>(copied);
}

}  // namespace

uint32_t NaiveProfileRead(std::string_view section, std::string_view key,
                          std::string_view default_value, char16_t* buffer, uint32_t size,
                          const std::string& path) {
  std::string bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    std::fseek(file, 0, SEEK_END);
    bytes.resize(static_cast<size_t>(std::ftell(file)));
    std::rewind(file);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
  }
  bool in_section = false;
  const char* at = bytes.data();
  const char* end = at + bytes.size();
  while (at < end) {
    const char* newline = static_cast<const char*>(std::memchr(at, '\n', end - at));
    const char* line_end = newline ? newline : end;
    std::string_view line = Trim(std::string_view(at, line_end - at));
    at = line_end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (in_section) break;  // only the first section of the name counts
      size_t close = line.find(']');
      in_section = EqualsAsciiIgnoreCase(Trim(line.substr(1, close - 1)), section);
      continue;
    }
    if (!in_section) continue;
    size_t equals = line.find('=');
    if (equals != std::string_view::npos &&
        EqualsAsciiIgnoreCase(Trim(line.substr(0, equals)), key)) {
      return Copy(Trim(line.substr(equals + 1)), buffer, size);
    }
  }
  return Copy(default_value, buffer, size);
}

}  // namespace orx::bench
