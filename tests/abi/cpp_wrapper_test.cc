// orxProperty.hpp through the shared library: UTF-8 in and out, whole values
// however long, refusal of malformed text before anything is written, the
// result type, and the task list as a range.
#include "orxProperty.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/temp_data_folder.h"

namespace op = orx::property;

namespace {

class CppWrapper : public ::testing::Test {
 protected:
  orx::testing::TempDataFolder folder_;
};

TEST_F(CppWrapper, ValuesRoundTripWholeInUtf8AndUtf16) {
  const std::string values[] = {"mail.example.org", "Grüße, ☃ and 😀", std::string(255, 'a'),
                                std::string(256, 'b'), std::string(5000, 'c') + "é"};
  for (const std::string& value : values) {
    ASSERT_EQ(op::Set(ORX_GENERAL_SMTP_SERVER, value), op::Status()) << value.size();
    const op::Result<std::string> read = op::Get(ORX_GENERAL_SMTP_SERVER);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(*read, value);
  }
  ASSERT_TRUE(op::Set(ORX_GENERAL_SMTP_SERVER, u"Straße"));
  EXPECT_EQ(op::GetU16(ORX_GENERAL_SMTP_SERVER).value(), u"Straße");
  EXPECT_EQ(op::Get(ORX_GENERAL_SMTP_SERVER).value(), "Straße");
}

TEST_F(CppWrapper, MalformedUtf8IsRefusedAndNothingIsWritten) {
  const std::string bad[] = {
      "\xC0\xAF",          // overlong '/'
      "\xED\xA0\x80",      // a surrogate
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "ok\xE2\x82",        // cut short
      "\x80",              // a lone continuation byte
  };
  for (const std::string& text : bad) {
    EXPECT_EQ(op::Set(ORX_GENERAL_SMTP_SERVER, text).code(), op::Status::kNoUnicodeTranslation);
    EXPECT_EQ(op::SetProvider(text, ORX_PROVIDER_ACTION_ON_PACKED_FILE, "x").code(),
              op::Status::kNoUnicodeTranslation);
  }
  EXPECT_FALSE(folder_.Exists("ormix5.ini"));
}

TEST_F(CppWrapper, StatusesComeBackWithTheirNames) {
  const op::Result<int32_t> unknown = op::GetInt(0x10000 + 0x7FFF);
  EXPECT_FALSE(unknown);
  EXPECT_EQ(unknown.status().code(), op::Status::kInvalidParameter);
  EXPECT_STREQ(unknown.status().name(), "ERROR_INVALID_PARAMETER");
  EXPECT_EQ(unknown.value_or(-1), -1);
  EXPECT_EQ(op::Set(ORX_GENERAL_SMTP_SERVER, "two\nlines").code(), op::Status::kInvalidParameter);

  ASSERT_TRUE(op::SetInt(ORX_GENERAL_UPDATE_PERIOD, 90));
  EXPECT_EQ(op::GetInt(ORX_GENERAL_UPDATE_PERIOD).value(), 90);
  ASSERT_TRUE(op::SetProvider("WebTarve", ORX_PROVIDER_ACTION_ON_PACKED_FILE, "deletefile"));
  EXPECT_EQ(op::GetProvider("WebTarve", ORX_PROVIDER_ACTION_ON_PACKED_FILE).value(), "deletefile");
  EXPECT_EQ(op::GetProvider("Other", ORX_PROVIDER_ACTION_ON_PACKED_FILE).value(), "onlyfile");
}

TEST_F(CppWrapper, TaskRangeWalksTheListInSlotOrder) {
  op::TaskRange empty = op::Tasks();
  EXPECT_TRUE(empty.status());
  EXPECT_EQ(empty.begin(), empty.end());

  // The copy's label comes from the English strings.
  for (const char* name : {"ORX_LANGUAGE_MODULE", "LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
    unsetenv(name);
  }
  setenv("LANG", "C", 1);
  std::vector<std::string> created;
  for (int i = 0; i < 3; ++i) created.push_back(op::CreateTask().value());
  ASSERT_TRUE(op::SetTask(created[0], ORX_TASK_LABEL, "Nächtlich"));
  const std::string copy = op::CopyTaskDefinition(created[0]).value();
  created.push_back(copy);
  EXPECT_EQ(op::GetTask(copy, ORX_TASK_LABEL).value(), "Copy of Nächtlich");

  std::vector<std::string> listed;
  std::vector<std::string> keys;
  for (const op::TaskSlot& slot : op::Tasks()) {
    listed.push_back(slot.id_utf8());
    keys.push_back(slot.key_utf8());
  }
  EXPECT_EQ(listed, created);
  EXPECT_EQ(keys, (std::vector<std::string>{"Task1", "Task2", "Task3", "Task4"}));

  // Removing the second slot leaves a gap that a positive last slot shows
  // and shrinking closes.
  ASSERT_TRUE(op::DeleteTaskDefinition("Task2", created[1]));
  std::vector<std::string> with_gap;
  for (const op::TaskSlot& slot : op::Tasks(4)) with_gap.push_back(slot.id_utf8());
  EXPECT_EQ(with_gap, (std::vector<std::string>{created[0], "", created[2], created[3]}));
  ASSERT_TRUE(op::ShrinkTasks(4));
  std::vector<std::string> shrunk;
  for (const op::TaskSlot& slot : op::Tasks()) shrunk.push_back(slot.id_utf8());
  EXPECT_EQ(shrunk, (std::vector<std::string>{created[0], created[2], created[3]}));
}

TEST(CppWrapperText, ConversionsKeepEveryPlaneAndRejectLoneSurrogates) {
  const std::u16string wide = u"a\u00E9\u2603\U0001F600z";
  EXPECT_EQ(op::detail::ToUtf8(wide).value(), "a\xC3\xA9\xE2\x98\x83\xF0\x9F\x98\x80z");
  EXPECT_EQ(op::detail::ToU16(*op::detail::ToUtf8(wide)).value(), wide);
  EXPECT_FALSE(op::detail::ToUtf8(std::u16string(1, u'\xD800')).has_value());
  EXPECT_FALSE(op::detail::ToUtf8(u"x" + std::u16string(1, u'\xDC00')).has_value());
}

}  // namespace
