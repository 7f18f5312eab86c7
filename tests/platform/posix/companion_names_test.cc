#include "platform/posix/companion_names.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/atomic_replace.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

bool EndsInsideUtf8Sequence(const std::string& text, size_t end) {
  return end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80;
}

// Every name the system accepts, in one-byte and two-byte letters, gets a
// lock file name and temporary names within 255 bytes that are stable, cut
// only between letters, and plain where the plain form fits.
TEST(CompanionNames, FitTheSystemLimitForEveryNameLength) {
  for (const std::string letter : {"a", "\xc3\xa9"}) {
    for (size_t length = 1; length <= 255; ++length) {
      std::string name;
      while (name.size() + letter.size() <= length) name += letter;
      SCOPED_TRACE(std::to_string(name.size()) + " bytes of " + letter);
      const std::string lock = LockFileName(name);
      const std::string prefix = TemporaryPrefix(name);
      EXPECT_LE(lock.size(), 255u);
      EXPECT_LE(prefix.size() + kLongestTemporarySuffix, 255u);
      EXPECT_EQ(lock, LockFileName(name));
      EXPECT_EQ(lock == name + ".lock", name.size() <= 250);
      EXPECT_EQ(prefix == "." + name + ".tmp-", name.size() <= 224);
      const size_t tilde = lock.rfind('~');
      if (tilde != std::string::npos) {
        EXPECT_FALSE(EndsInsideUtf8Sequence(name, tilde));
      }
    }
  }
}

TEST(CompanionNames, LongNamesThatDifferOnlyAtTheEndStayApart) {
  const std::string a = std::string(250, 'x') + "a.ini";
  const std::string b = std::string(250, 'x') + "b.ini";
  EXPECT_NE(LockFileName(a), LockFileName(b));
  EXPECT_NE(TemporaryPrefix(a), TemporaryPrefix(b));
  EXPECT_FALSE(IsTemporaryOf(TemporaryPrefix(b) + "1f-2", a));
  EXPECT_TRUE(IsTemporaryOf(TemporaryPrefix(a) + "1f-2", a));
  // A short file named like the long file's shortened name has temporaries
  // of the plain form, which are not the long file's.
  const std::string stem = TemporaryPrefix(a).substr(1, TemporaryPrefix(a).size() - 6);
  EXPECT_FALSE(IsTemporaryOf(TemporaryPrefix(stem) + "1f-2", a));
  EXPECT_FALSE(IsTemporaryOf(TemporaryPrefix(a) + "1f-2", stem));
}

class CompanionSweepTest : public orx::testing::DataFolderTest {};

TEST_F(CompanionSweepTest, SweepOfALongNameLeavesTheTemporariesOfASimilarName) {
  const std::string a = std::string(240, 'n') + "-first.ini";
  const std::string b = std::string(240, 'n') + "-second.ini";
  folder_.Write(a, "a");
  folder_.Write(b, "b");
  folder_.Write(TemporaryPrefix(a) + "1f-2", "abandoned");
  folder_.Write(TemporaryPrefix(b) + "1f-2", "another file's");
  RemoveAbandonedTemporaries(folder_.File(a));
  EXPECT_EQ(orx::testing::FolderEntries(folder_.path()),
            (std::set<std::string>{a, b, TemporaryPrefix(b) + "1f-2"}));
}

}  // namespace
}  // namespace orx::platform
