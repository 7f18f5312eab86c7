// Helpers of the task registry tests: settings files arranged as text, the
// listed slots read back from the file's bytes (not through the library, so
// a fault in the slot reading cannot hide itself), and walks through the
// public enumeration.
#ifndef ORX_TESTS_TASKS_TASK_LIST_FILES_H_
#define ORX_TESTS_TASKS_TASK_LIST_FILES_H_

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "orxProperty.h"

namespace orx::testing {

// Ids in these tests are ASCII.
inline std::string Narrow(std::u16string_view text) { return {text.begin(), text.end()}; }
inline std::u16string Widen(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

// "[Scanner]" and one "Task<n>=<id>" line per slot, in the order given.
inline std::string ScannerSection(const std::vector<std::pair<int, std::string>>& slots) {
  std::string text = "[Scanner]\n";
  for (const auto& [slot, id] : slots) text += "Task" + std::to_string(slot) + "=" + id + "\n";
  return text;
}

// The Task<n> keys of the file's first [Scanner] section with their values,
// by slot number. Only what the library itself writes is understood.
inline std::map<int, std::string> SlotsInFile(const std::string& file) {
  std::map<int, std::string> slots;
  std::istringstream lines(file);
  std::string line;
  bool in_scanner = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line[0] == '[') {
      if (in_scanner) break;
      in_scanner = line == "[Scanner]";
    } else if (in_scanner && line.rfind("Task", 0) == 0) {
      const size_t equals = line.find('=');
      slots[std::atoi(line.substr(4, equals - 4).c_str())] = line.substr(equals + 1);
    }
  }
  return slots;
}

// True for the registry text form of a GUID: braces around upper-case hex
// digits in groups of 8, 4, 4, 4 and 12.
inline bool IsGuidText(std::u16string_view id) {
  static const std::regex kForm(
      "\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
  return std::regex_match(Narrow(id), kForm);
}

struct Delivery {
  std::u16string id;
  std::u16string key;
  bool operator==(const Delivery&) const = default;
};

// Opens an enumeration and steps it with `lastSlot` until 259, collecting
// every delivery; the open's status is returned in `status`.
inline std::vector<Delivery> Walk(int32_t lastSlot, int32_t* status = nullptr) {
  std::vector<Delivery> deliveries;
  orxQuery query = nullptr;
  char16_t id[80] = u"";
  char16_t key[16] = u"";
  const int32_t opened = orxGetFirstTask(&query, id, 80, key, 16);
  if (status != nullptr) *status = opened;
  if (opened != 0) return deliveries;
  do {
    deliveries.push_back({id, key});
  } while (orxGetNextTask(query, lastSlot) == 0);
  EXPECT_EQ(id[0], u'\0') << "an ended walk leaves the id buffer empty";
  EXPECT_EQ(orxCloseQuery(query), 0);
  return deliveries;
}

}  // namespace orx::testing

#endif  // ORX_TESTS_TASKS_TASK_LIST_FILES_H_
