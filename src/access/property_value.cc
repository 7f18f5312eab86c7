// The provider default overrides live here because they are part of how a
// read chooses its default, not part of the catalogue rows.
#include "access/property_value.h"

#include <string_view>

#include "access/label_reference.h"
#include "access/provider_name.h"
#include "catalogue/property_id.h"
#include "frame/profile.h"
#include "frame/settings_path.h"

namespace orx::access {
namespace {

struct ProviderDefaultOverride {
  catalogue::PropertyId id;
  const char16_t* provider;
  const char16_t* default_value;
};

// clang-format off
constexpr ProviderDefaultOverride kProviderDefaultOverrides[] = {
    // id          provider            default used instead
    {0x4000001,    u"WebTarve",        u"All"},    // ScanPackers
    {0x4000001,    u"EmailTarve",      u"All"},
    {0x4000001,    u"P2PTarve",        u"All"},
    {0x4000001,    u"IMTarve",         u"All"},
    {0x4000002,    u"AntiSpamTarve",   u"None"},   // Report
    {0x4000007,    u"WebTarve",        u"abort"},  // VirusAction
    {0x4000008,    u"WebTarve",        u"abort"},  // SuspiciousAction
    {0x4000009,    u"WebTarve",        u"abort"},  // PUPAction
};
// clang-format on

// Provider names are compared whole and with case.
const char16_t* ProviderDefault(catalogue::PropertyId id, const char16_t* provider,
                                const char16_t* catalogue_default) {
  for (const ProviderDefaultOverride& row : kProviderDefaultOverrides) {
    if (row.id == id && std::u16string_view(row.provider) == provider) return row.default_value;
  }
  return catalogue_default;
}

struct Target {
  const catalogue::PropertyEntry* entry;
  frame::SettingsPath path;
};

// The resolve and path steps both routines share.
Status ResolveTarget(catalogue::PropertyId id, const char16_t* provider, Target& target) {
  const catalogue::PropertyEntry* table;
  uint32_t index;
  if (Status status = catalogue::ResolvePropertyId(id, &table, &index); !IsOk(status)) {
    return status;
  }
  target.entry = &table[index];
  if (provider != nullptr) {
    if (!IsSafeProviderName(provider)) return Status::kInvalidParameter;
    return frame::BuildSettingsPath(target.path, provider, u".ini");
  }
  if (catalogue::IsInProviderRange(id)) return Status::kInvalidParameter;
  return frame::BuildSettingsPath(target.path, target.entry->file);
}

}  // namespace

Status ReadPropertyValue(catalogue::PropertyId id, const char16_t* task, const char16_t* provider,
                         char16_t* buffer, uint32_t size) {
  if (buffer == nullptr) return Status::kInvalidParameter;
  buffer[0] = u'\0';
  Target target;
  if (Status status = ResolveTarget(id, provider, target); !IsOk(status)) {
    buffer[0] = u'\0';
    return status;
  }
  const catalogue::PropertyEntry& entry = *target.entry;
  if (task != nullptr) {
    frame::ProfileRead(task, entry.key, entry.default_value, buffer, size, target.path);
    if (MayHoldLabelReference(id)) ExpandLabelReference(buffer, size);
    return Status::kOk;
  }
  const char16_t* default_value = provider != nullptr
                                      ? ProviderDefault(id, provider, entry.default_value)
                                      : entry.default_value;
  frame::ProfileRead(entry.section, entry.key, default_value, buffer, size, target.path);
  return Status::kOk;
}

Status WritePropertyValue(catalogue::PropertyId id, const char16_t* task, const char16_t* provider,
                          const char16_t* value) {
  if (value == nullptr) return Status::kInvalidParameter;
  Target target;
  if (Status status = ResolveTarget(id, provider, target); !IsOk(status)) return status;
  const catalogue::PropertyEntry& entry = *target.entry;
  const char16_t* section = entry.section;
  const char16_t* text = value;
  char16_t reference[kLabelReferenceCapacity];
  if (task != nullptr) {
    section = task;
    if (MayHoldLabelReference(id) && FindLabelReference(value, reference)) text = reference;
  }
  if (frame::ProfileWrite(section, entry.key, text, target.path)) return Status::kOk;
  // A failure must never read as success, even if no reason was recorded.
  const uint32_t error = frame::ProfileLastError();
  return error != 0 ? static_cast<Status>(error) : Status::kInternalError;
}

}  // namespace orx::access
