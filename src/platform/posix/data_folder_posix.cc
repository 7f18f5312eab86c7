// The data folder from the environment. The text lives in a thread-local
// string between cmnbInit and cmnbFree, so concurrent initialisations on
// several threads do not share it.
#include <cstdlib>
#include <string>

#include "base/utf.h"
#include "platform/data_folder.h"

namespace orx::platform {
namespace {

thread_local std::u16string data_path;

const char* NonEmptyEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

std::string FolderFromEnvironment() {
  if (const char* folder = NonEmptyEnv("ORX_DATA_FOLDER")) return folder;
  if (const char* xdg = NonEmptyEnv("XDG_DATA_HOME")) return std::string(xdg) + "/ormix";
  if (const char* home = NonEmptyEnv("HOME")) return std::string(home) + "/.local/share/ormix";
  return std::string();
}

}  // namespace

int32_t cmnbInit(int32_t /*flags*/) {
  data_path = DecodePath(FolderFromEnvironment());
  return 0;
}

const char16_t* fsGetOrmixDataPath() { return data_path.c_str(); }

int32_t cmnbFree(int32_t /*flags*/) {
  data_path.clear();
  data_path.shrink_to_fit();
  return 0;
}

}  // namespace orx::platform
