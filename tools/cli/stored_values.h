// Tells a stored value from a default by asking the engine's parser what the
// settings file holds. Read-only: it never writes a file.
#ifndef ORX_TOOLS_CLI_STORED_VALUES_H_
#define ORX_TOOLS_CLI_STORED_VALUES_H_

#include <map>
#include <string>

#include "cli.h"
#include "platform/ini/document.h"

namespace orx::cli {

class StoredValues {
 public:
  explicit StoredValues(const Scope& scope) : scope_(scope) {}

  // True when the property's key is present in its section of its file.
  bool IsStored(const Property& property);

 private:
  const platform::ini::Document& DocumentOf(const std::string& file);

  Scope scope_;
  std::map<std::string, platform::ini::Document> documents_;
};

// The data folder the library uses, as the environment names it.
std::string DataFolderPath();

// The bytes of a file, or nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_STORED_VALUES_H_
