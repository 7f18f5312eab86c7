#include "support/temp_data_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "orxProperty.h"

namespace orx::testing {

TempDataFolder::TempDataFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "orx-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
  path_ = pattern;
  setenv("ORX_DATA_FOLDER", path_.c_str(), 1);
  orxPropertyInitLibrary();
}

TempDataFolder::~TempDataFolder() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void TempDataFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string TempDataFolder::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool TempDataFolder::Exists(const std::string& name) const {
  return std::filesystem::exists(File(name));
}

}  // namespace orx::testing
