// ResolvePropertyId and the class directory. The directory is the single
// list of the eleven classes: lookup walks it, and tools print from it, so a
// class cannot be reachable by one and missing from the other.
#include "catalogue/property_id.h"

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

}  // namespace

Status ResolvePropertyId(PropertyId id, const PropertyEntry** table, uint32_t* index) {
  *table = nullptr;
  *index = 0;

  const PropertyClass property_class = id & kClassMask;
  const PropertyEntry* class_table = nullptr;
  for (const PropertyClassInfo& info : kClasses) {
    if (info.value == property_class) {
      class_table = info.table;
      break;
    }
  }
  if (class_table == nullptr) return Status::kInvalidParameter;

  *index = id & kIndexMask;
  // The length is counted on every lookup, never stored: the terminating
  // row is the only record of where a table ends.
  if (*index < CountEntries(class_table)) {
    *table = class_table;
    return Status::kOk;
  }
  *index = 0;
  return Status::kInvalidParameter;
}

size_t CountEntries(const PropertyEntry* table) {
  size_t count = 0;
  while (table[count].file != nullptr) ++count;
  return count;
}

std::span<const PropertyClassInfo> PropertyClasses() { return kClasses; }

}  // namespace orx::catalogue
