// The main file edited by hand while the library is in use, the ways
// editors and scripts save: replaced by a rename (a new inode), rewritten in
// place with the same size within one timestamp tick, appended to. The next
// read through the exports sees the edit, and the next write through them
// keeps every line the editor wrote.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "orxProperty.h"
#include "support/temp_data_folder.h"

namespace orx::testing {
namespace {

constexpr uint32_t kUpdatePeriod = 0x10013;  // [InetWD] UpdatePeriod

// The file before and after the editor's save, and the value the edit gives.
struct HandEdit {
  const char* name;
  const char* before;
  const char* after;
  int32_t value;
  void (*save)(const TempDataFolder& folder, const std::string& before, const std::string& after);
};

void ReplaceByRename(const TempDataFolder& folder, const std::string&, const std::string& after) {
  folder.Write("ormix5.ini.new", after);
  ASSERT_EQ(std::rename(folder.File("ormix5.ini.new").c_str(), folder.File("ormix5.ini").c_str()),
            0);
}

// Same size, same inode, and (on a coarse clock) the same timestamps.
void RewriteInPlace(const TempDataFolder& folder, const std::string&, const std::string& after) {
  std::fstream file(folder.File("ormix5.ini"), std::ios::in | std::ios::out | std::ios::binary);
  file.write(after.data(), static_cast<std::streamsize>(after.size()));
}

void Append(const TempDataFolder& folder, const std::string& before, const std::string& after) {
  std::ofstream(folder.File("ormix5.ini"), std::ios::app | std::ios::binary)
      << after.substr(before.size());
}

class HandEditWhileRunning : public DataFolderTest {};

TEST_F(HandEditWhileRunning, NextReadSeesTheEditAndNextWriteKeepsIt) {
  const HandEdit edits[] = {
      {"replaced by rename", "; admin's note\n[InetWD]\nUpdatePeriod=111\n",
       "; admin's note\n[InetWD]\nUpdatePeriod=222\n", 222, ReplaceByRename},
      {"rewritten in place, same size", "; admin's note\n[InetWD]\nUpdatePeriod=111\n",
       "; admin's note\n[InetWD]\nUpdatePeriod=333\n", 333, RewriteInPlace},
      {"appended to", "; admin's note\n[InetWD]\nProxy=none\n",
       "; admin's note\n[InetWD]\nProxy=none\nUpdatePeriod=444\n", 444, Append},
  };
  for (const HandEdit& edit : edits) {
    SCOPED_TRACE(edit.name);
    folder_.Write("ormix5.ini", edit.before);
    int32_t value = 0;
    ASSERT_EQ(orxGetPropertyInt(kUpdatePeriod, &value), 0);  // now cached
    ASSERT_NE(value, edit.value);

    edit.save(folder_, edit.before, edit.after);
    ASSERT_EQ(orxGetPropertyInt(kUpdatePeriod, &value), 0);
    EXPECT_EQ(value, edit.value);

    ASSERT_EQ(orxSetProperty(0x10000, u"2525"), 0);  // [Communication] SMTPPort, same file
    const std::string written = folder_.Read("ormix5.ini");
    EXPECT_EQ(written.rfind(edit.after, 0), 0u) << "the editor's lines moved or went:\n" << written;
    EXPECT_NE(written.find("SMTPPort=2525"), std::string::npos);
  }
}

}  // namespace
}  // namespace orx::testing
