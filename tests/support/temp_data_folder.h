// A fresh temporary data folder for one test: ORX_DATA_FOLDER points at it
// and the library is initialised; the folder and everything in it are
// removed afterwards.
#ifndef ORX_TESTS_SUPPORT_TEMP_DATA_FOLDER_H_
#define ORX_TESTS_SUPPORT_TEMP_DATA_FOLDER_H_

#include <gtest/gtest.h>

#include <string>

namespace orx::testing {

class TempDataFolder {
 public:
  TempDataFolder();
  ~TempDataFolder();
  TempDataFolder(const TempDataFolder&) = delete;
  TempDataFolder& operator=(const TempDataFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  // Whole-file helpers for arranging and inspecting settings files.
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;

 private:
  std::string path_;
};

// A fixture that gives each test its own initialised data folder.
class DataFolderTest : public ::testing::Test {
 protected:
  TempDataFolder folder_;
};

}  // namespace orx::testing

#endif  // ORX_TESTS_SUPPORT_TEMP_DATA_FOLDER_H_
