// How people name properties on the command line: a hexadecimal identifier
// ("0x20019") or CLASS.Key ("task.SchedDays", class and key in any letter
// case). A name that several entries share is refused with the candidates.
#ifndef ORX_TOOLS_CLI_PROPERTY_NAMES_H_
#define ORX_TOOLS_CLI_PROPERTY_NAMES_H_

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/property_id.h"

namespace orx::cli {

struct Property {
  uint32_t id;
  const catalogue::PropertyClassInfo* property_class;
  const catalogue::PropertyEntry* entry;
};

struct PropertyLookup {
  std::vector<Property> matches;  // one on success; several for a shared name
  std::string error;              // set when nothing matched or the text is malformed
};

PropertyLookup FindProperty(const std::string& text);

// Every property of one class (or of all classes when `class_name` is empty),
// in identifier order. Returns false for an unknown class name.
bool ListProperties(const std::string& class_name, std::vector<Property>& out);

// The class directory entry with that name, or null.
const catalogue::PropertyClassInfo* FindClass(const std::string& name);

// "task.SchedDays"; the hexadecimal identifier where the name is shared.
std::string UniqueName(const Property& property);
std::string ClassDotKey(const Property& property);
std::string HexId(uint32_t id);

// The key of an entry in UTF-8, and its other fields.
std::string KeyOf(const Property& property);
std::string FileOf(const Property& property);
std::string SectionOf(const Property& property);
std::string DefaultOf(const Property& property);

// Whether the default reads as a number: such properties are integers.
bool IsIntegerProperty(const Property& property);

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_PROPERTY_NAMES_H_
