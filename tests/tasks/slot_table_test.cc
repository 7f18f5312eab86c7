// SlotTable::Find and first_free on lists with and without gaps, in order
// or not: a slot is found by its number wherever it sits in the table, a
// missing number is missing, and of two keys for one slot the first counts.
#include "tasks/slot_table.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/utf.h"
#include "frame/profile.h"
#include "support/temp_data_folder.h"

namespace orx::tasks {
namespace {

class SlotTableTest : public orx::testing::DataFolderTest {};

TEST_F(SlotTableTest, FindsEachSlotByItsNumber) {
  struct Case {
    const char* what;
    const char* list;
    std::vector<std::pair<int32_t, const char16_t*>> expected;  // null: no key
    int32_t first_free;
  };
  const Case cases[] = {
      {"no gaps",
       "Task1=a\nTask2=b\nTask3=c\n",
       {{1, u"a"}, {2, u"b"}, {3, u"c"}, {0, nullptr}, {4, nullptr}, {-1, nullptr}},
       4},
      {"gap at the front", "Task2=b\nTask3=c\n", {{1, nullptr}, {2, u"b"}, {3, u"c"}}, 1},
      {"gap in the middle",
       "Task1=a\nTask3=c\nTask4=d\n",
       {{1, u"a"}, {2, nullptr}, {3, u"c"}, {4, u"d"}},
       2},
      {"out of order, twice named",
       "Task3=c\nTask1=a\ntask3=x\nTask2=\n",
       {{1, u"a"}, {2, u""}, {3, u"c"}, {4, nullptr}},
       2},
      {"in order, one named twice",
       "Task1=a\nTask2=b\nTASK2=x\nTask3=c\n",
       {{1, u"a"}, {2, u"b"}, {3, u"c"}},
       4},
      {"in order, the first of a pair empty", "Task1=a\nTask2=\nTask2=b\n", {{2, u""}}, 2},
      {"far numbers", "Task1=a\nTask9999=z\n", {{2, nullptr}, {9999, u"z"}}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    folder_.Write("list.ini", std::string("[Scanner]\n") + c.list);
    const std::u16string path = DecodePath(folder_.File("list.ini"));
    frame::ProfileView view(path.c_str());
    const SlotTable table(view);
    EXPECT_EQ(table.first_free(), c.first_free);
    for (const auto& [number, id] : c.expected) {
      SCOPED_TRACE(number);
      const frame::TextView* found = table.Find(number);
      EXPECT_EQ(found != nullptr, id != nullptr);
      if (found != nullptr && id != nullptr) {
        EXPECT_EQ(*found, frame::TextView(id));
      }
    }
  }
}

}  // namespace
}  // namespace orx::tasks
