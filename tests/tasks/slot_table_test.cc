// SlotTable::Find on lists with and without gaps: a slot is found by its
// number wherever it sits in the table, and a missing number is missing.
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
  };
  const Case cases[] = {
      {"no gaps",
       "Task1=a\nTask2=b\nTask3=c\n",
       {{1, u"a"}, {2, u"b"}, {3, u"c"}, {0, nullptr}, {4, nullptr}, {-1, nullptr}}},
      {"gap at the front", "Task2=b\nTask3=c\n", {{1, nullptr}, {2, u"b"}, {3, u"c"}}},
      {"gap in the middle",
       "Task1=a\nTask3=c\nTask4=d\n",
       {{1, u"a"}, {2, nullptr}, {3, u"c"}, {4, u"d"}}},
      {"out of order, twice named",
       "Task3=c\nTask1=a\ntask3=x\nTask2=\n",
       {{1, u"a"}, {2, u""}, {3, u"c"}, {4, nullptr}}},
      {"far numbers", "Task1=a\nTask9999=z\n", {{2, nullptr}, {9999, u"z"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    folder_.Write("list.ini", std::string("[Scanner]\n") + c.list);
    const std::u16string path = DecodePath(folder_.File("list.ini"));
    frame::ProfileView view(path.c_str());
    const SlotTable table(view);
    for (const auto& [number, id] : c.expected) {
      SCOPED_TRACE(number);
      EXPECT_EQ(table.Find(number), id ? std::optional<std::u16string_view>(id) : std::nullopt);
    }
  }
}

}  // namespace
}  // namespace orx::tasks
