// PropertyId and PropertyEntry: the numbering of settings and the catalogue
// row that says where a setting lives. Pure constant data; no I/O.
#ifndef ORX_CATALOGUE_PROPERTY_ENTRY_H_
#define ORX_CATALOGUE_PROPERTY_ENTRY_H_

#include <cstddef>
#include <cstdint>

namespace orx::catalogue {

// Class in the high 16 bits (exactly one of bits 16 to 26), index in the
// class table in the low 16 bits.
using PropertyId = uint32_t;

// One catalogue row: four constant UTF-16 strings. A class table ends with a
// row whose four pointers are all null.
struct PropertyEntry {
  const char16_t* file;
  const char16_t* section;
  const char16_t* key;
  const char16_t* default_value;
};

// A table is terminated when no row before the last has a null field and
// the last row is all null.
template <size_t N>
constexpr bool IsTerminatedTable(const PropertyEntry (&table)[N]) {
  for (size_t i = 0; i + 1 < N; ++i) {
    const PropertyEntry& row = table[i];
    if (!row.file || !row.section || !row.key || !row.default_value) return false;
  }
  const PropertyEntry& last = table[N - 1];
  return !last.file && !last.section && !last.key && !last.default_value;
}

}  // namespace orx::catalogue

#endif  // ORX_CATALOGUE_PROPERTY_ENTRY_H_
