// Writes a language module (a string table) into a test's folder and makes
// it the one in force through ORX_LANGUAGE_MODULE.
#ifndef ORX_TESTS_SUPPORT_LANGUAGE_MODULE_H_
#define ORX_TESTS_SUPPORT_LANGUAGE_MODULE_H_

#include <stdlib.h>

#include <fstream>
#include <string>

namespace orx::testing {

// `lines` is the module's text in UTF-8, "ID=TEXT" per line.
inline std::string UseLanguageModule(const std::string& folder, const std::string& name,
                                     const std::string& lines) {
  const std::string path = folder + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << lines;
  setenv("ORX_LANGUAGE_MODULE", path.c_str(), 1);
  return path;
}

}  // namespace orx::testing

#endif  // ORX_TESTS_SUPPORT_LANGUAGE_MODULE_H_
