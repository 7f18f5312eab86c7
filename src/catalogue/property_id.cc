// ResolvePropertyId and the class directory. The directory is the single
// list of the eleven classes: lookup walks it, and tools print from it, so a
// class cannot be reachable by one and missing from the other.
#include "catalogue/property_id.h"

#include <array>
#include <bit>
#include <iterator>

namespace orx::catalogue {
namespace {

constexpr PropertyClassInfo kClasses[] = {
    {kGeneralClass, "general", kGeneralTable},
    {kTaskClass, "task", kTaskTable},
    {kEmailClass, "email", kEmailTable},
    {kFileSystemClass, "filesystem", kFileSystemTable},
    {kP2PClass, "p2p", kP2PTable},
    {kIMClass, "im", kIMTable},
    {kWebClass, "web", kWebTable},
    {kNetworkClass, "network", kNetworkTable},
    {kScriptClass, "script", kScriptTable},
    {kAntiSpamClass, "antispam", kAntiSpamTable},
    {kProviderClass, "provider", kProviderTable},
};

// Each class's entry count, counted once from the tables' terminating rows,
// which stay the only record of where a table ends.
struct ClassBounds {
  const PropertyEntry* table;
  size_t count;
};

const ClassBounds* BoundsOf(PropertyClass property_class) {
  static const auto bounds = [] {
    std::array<ClassBounds, std::size(kClasses)> counted{};
    for (size_t i = 0; i < counted.size(); ++i) {
      counted[i] = {kClasses[i].table, CountEntries(kClasses[i].table)};
    }
    return counted;
  }();
  // Each class is one bit, and the directory lists them bit by bit, so a
  // class's bit number is its row. (Tested without a popcount, which is a
  // library call where the processor lacks the instruction.)
  if (property_class == 0 || (property_class & (property_class - 1)) != 0) return nullptr;
  const size_t row = static_cast<size_t>(std::countr_zero(property_class)) -
                     static_cast<size_t>(std::countr_zero(kClasses[0].value));
  return row < bounds.size() ? &bounds[row] : nullptr;
}

constexpr bool ListedBitByBit() {
  for (size_t i = 0; i < std::size(kClasses); ++i) {
    if (kClasses[i].value != kClasses[0].value << i) return false;
  }
  return true;
}
static_assert(ListedBitByBit(), "the class directory must list the classes bit by bit");

}  // namespace

Status ResolvePropertyId(PropertyId id, const PropertyEntry** table, uint32_t* index) {
  *table = nullptr;
  *index = 0;
  const ClassBounds* bounds = BoundsOf(id & kClassMask);
  if (bounds == nullptr || (id & kIndexMask) >= bounds->count) return Status::kInvalidParameter;
  *table = bounds->table;
  *index = id & kIndexMask;
  return Status::kOk;
}

size_t CountEntries(const PropertyEntry* table) {
  size_t count = 0;
  while (table[count].file != nullptr) ++count;
  return count;
}

std::span<const PropertyClassInfo> PropertyClasses() { return kClasses; }

}  // namespace orx::catalogue
