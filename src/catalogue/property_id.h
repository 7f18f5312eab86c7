// The eleven property classes, their constant tables and ResolvePropertyId,
// the lookup every property read and write performs first. The rows live in
// general_table.cc, task_table.cc, module_tables.cc and provider_table.cc;
// this header is all that the layers above need to reach them. No I/O.
#ifndef ORX_CATALOGUE_PROPERTY_ID_H_
#define ORX_CATALOGUE_PROPERTY_ID_H_

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/status.h"
#include "catalogue/property_entry.h"

namespace orx::catalogue {

// The high half of a PropertyId. A valid class has exactly one of the bits
// 16 to 26 set; any other high half, combinations included, names nothing.
using PropertyClass = uint32_t;

inline constexpr PropertyClass kGeneralClass = 0x00010000;
inline constexpr PropertyClass kTaskClass = 0x00020000;
inline constexpr PropertyClass kEmailClass = 0x00040000;
inline constexpr PropertyClass kFileSystemClass = 0x00080000;
inline constexpr PropertyClass kP2PClass = 0x00100000;
inline constexpr PropertyClass kIMClass = 0x00200000;
inline constexpr PropertyClass kWebClass = 0x00400000;
inline constexpr PropertyClass kNetworkClass = 0x00800000;
inline constexpr PropertyClass kScriptClass = 0x01000000;
inline constexpr PropertyClass kAntiSpamClass = 0x02000000;
inline constexpr PropertyClass kProviderClass = 0x04000000;

inline constexpr PropertyId kClassMask = 0xFFFF0000;
inline constexpr PropertyId kIndexMask = 0x0000FFFF;

// The class tables, each in index order and ended by an all-null row.
extern const PropertyEntry kGeneralTable[];     // 124 entries, "ormix5.ini" and two module files
extern const PropertyEntry kTaskTable[];        // 46 entries, section placeholder "TaskGUID"
extern const PropertyEntry kEmailTable[];       // 20 entries
extern const PropertyEntry kFileSystemTable[];  // 17 entries
extern const PropertyEntry kP2PTable[];         // 32 entries
extern const PropertyEntry kIMTable[];          // 24 entries
extern const PropertyEntry kWebTable[];         // 13 entries
extern const PropertyEntry kNetworkTable[];     // 3 entries
extern const PropertyEntry kScriptTable[];      // 1 entry
extern const PropertyEntry kAntiSpamTable[];    // 17 entries
extern const PropertyEntry kProviderTable[];    // 19 entries, file placeholder "ProviderINI"

// Maps `id` to its class table and the index of its entry there.
// Both out-values are cleared first. Returns kOk with `*table` and `*index`
// set when the class is one of the eleven and the index lies inside that
// table; otherwise kInvalidParameter with `*table` null and `*index` 0.
// `table` and `index` must not be null.
Status ResolvePropertyId(PropertyId id, const PropertyEntry** table, uint32_t* index);

// True for 0x4000000 to 0x400FFFF, the identifiers whose settings live in a
// file named by a provider. Says nothing about whether the index resolves.
constexpr bool IsInProviderRange(PropertyId id) { return (id & kClassMask) == kProviderClass; }

// Number of entries before the first row whose file is null.
size_t CountEntries(const PropertyEntry* table);

// One class as tools and tests list it: its value, a short lower-case name
// and its table.
struct PropertyClassInfo {
  PropertyClass value;
  const char* name;
  const PropertyEntry* table;
};

// The eleven classes in ascending order of value: general, task, email,
// filesystem, p2p, im, web, network, script, antispam, provider.
std::span<const PropertyClassInfo> PropertyClasses();

}  // namespace orx::catalogue

#endif  // ORX_CATALOGUE_PROPERTY_ID_H_
