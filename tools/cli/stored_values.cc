#include "stored_values.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace orx::cli {

std::string DataFolderPath() {
  if (const char* folder = std::getenv("ORX_DATA_FOLDER"); folder && *folder) return folder;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    return std::string(xdg) + "/ormix";
  }
  if (const char* home = std::getenv("HOME"); home && *home) {
    return std::string(home) + "/.local/share/ormix";
  }
  return ".";
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

const platform::ini::Document& StoredValues::DocumentOf(const std::string& file) {
  auto found = documents_.find(file);
  if (found == documents_.end()) {
    const auto bytes = ReadFileBytes(DataFolderPath() + "/" + file);
    found = documents_
                .emplace(file, bytes ? platform::ini::Document::FromBytes(*bytes)
                                     : platform::ini::Document())
                .first;
  }
  return found->second;
}

bool StoredValues::IsStored(const Property& property) {
  const bool provider_file = scope_.HasProvider() && catalogue::IsInProviderRange(property.id);
  const std::string file = provider_file ? scope_.provider + ".ini" : FileOf(property);
  const std::u16string section =
      scope_.HasTask() ? ToUtf16(scope_.task) : std::u16string(property.entry->section);
  return DocumentOf(file).FindValue(section, property.entry->key).has_value();
}

}  // namespace orx::cli
