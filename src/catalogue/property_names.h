// Named identifiers and names of the catalogue that code outside it relies
// on: the task properties with rules of their own, the provider settings
// whose defaults depend on the provider, the main settings file and the
// section that lists the tasks. Each is held to its catalogue row by a
// static_assert beside the table it names (task_table.cc, provider_table.cc,
// general_table.cc), so renumbering a row without its name fails the build.
#ifndef ORX_CATALOGUE_PROPERTY_NAMES_H_
#define ORX_CATALOGUE_PROPERTY_NAMES_H_

#include <string_view>

#include "catalogue/property_id.h"

namespace orx::catalogue {

// The product's main settings file, and within it the section whose keys
// Task1, Task2, ... list the task ids.
inline constexpr char16_t kMainFile[] = u"ormix5.ini";
inline constexpr char16_t kTaskListSection[] = u"Scanner";

// The section placeholder of every task row; a task operation puts the
// task's id in its place.
inline constexpr char16_t kTaskSectionPlaceholder[] = u"TaskGUID";

// Task properties.
inline constexpr PropertyId kTaskLabel = kTaskClass | 0x00;    // "Label"
inline constexpr PropertyId kTaskComment = kTaskClass | 0x01;  // "Comment"
inline constexpr PropertyId kTaskDeleted = kTaskClass | 0x20;  // "Deleted"

// Provider settings whose default some providers override.
inline constexpr PropertyId kProviderScanPackers = kProviderClass | 0x01;  // "ScanPackers"
inline constexpr PropertyId kProviderReport = kProviderClass | 0x02;       // "Report"
inline constexpr PropertyId kProviderVirusAction = kProviderClass | 0x07;  // "VirusAction"
inline constexpr PropertyId kProviderSuspiciousAction =
    kProviderClass | 0x08;                                               // "SuspiciousAction"
inline constexpr PropertyId kProviderPUPAction = kProviderClass | 0x09;  // "PUPAction"

// True when row `id` of `table` (a table of class `property_class`) has the
// key `key`: what the static_asserts beside the tables check.
template <size_t N>
constexpr bool RowHasKey(const PropertyEntry (&table)[N], PropertyClass property_class,
                         PropertyId id, std::u16string_view key) {
  const size_t index = id & kIndexMask;
  return (id & kClassMask) == property_class && index + 1 < N && table[index].key != nullptr &&
         std::u16string_view(table[index].key) == key;
}

}  // namespace orx::catalogue

#endif  // ORX_CATALOGUE_PROPERTY_NAMES_H_
