// The provider default overrides live here because they are part of how a
// read chooses its default, not part of the catalogue rows.
#include "access/property_value.h"

#include <string_view>

#include "access/label_reference.h"
#include "access/provider_name.h"
#include "access/task_id.h"
#include "catalogue/property_id.h"
#include "catalogue/property_names.h"
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
    // id                                     provider            default used instead
    {catalogue::kProviderScanPackers,         u"WebTarve",        u"All"},
    {catalogue::kProviderScanPackers,         u"EmailTarve",      u"All"},
    {catalogue::kProviderScanPackers,         u"P2PTarve",        u"All"},
    {catalogue::kProviderScanPackers,         u"IMTarve",         u"All"},
    {catalogue::kProviderReport,              u"AntiSpamTarve",   u"None"},
    {catalogue::kProviderVirusAction,         u"WebTarve",        u"abort"},
    {catalogue::kProviderSuspiciousAction,    u"WebTarve",        u"abort"},
    {catalogue::kProviderPUPAction,           u"WebTarve",        u"abort"},
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

// The task-mode read once the entry is known, wherever the key is read from:
// the task's section, the entry's key and default, then the label rule.
template <typename ReadKey>
void ReadInTaskSection(catalogue::PropertyId id, const catalogue::PropertyEntry& entry,
                       const char16_t* task, char16_t* buffer, uint32_t size, ReadKey read_key) {
  if (!MayHoldLabelReference(id)) {
    read_key(task, entry.key, entry.default_value, buffer, size);
    return;
  }
  ReadLabel(buffer, size, [&](char16_t* stored, uint32_t capacity) {
    read_key(task, entry.key, entry.default_value, stored, capacity);
  });
}

// The text a task-mode write stores: for a Label or Comment equal to a
// localized label string, its LabelReference (built in `reference`).
const char16_t* TaskModeText(catalogue::PropertyId id, const char16_t* value,
                             char16_t (&reference)[kLabelReferenceCapacity]) {
  if (MayHoldLabelReference(id) && FindLabelReference(value, reference)) return reference;
  return value;
}

// The document forms serve task-class identifiers, whose rows all live in
// the file the caller's document holds.
Status ResolveTaskEntry(catalogue::PropertyId id, const char16_t* task,
                        const catalogue::PropertyEntry*& entry) {
  if (task == nullptr || (id & catalogue::kClassMask) != catalogue::kTaskClass) {
    return Status::kInvalidParameter;
  }
  const catalogue::PropertyEntry* table;
  uint32_t index;
  if (Status status = catalogue::ResolvePropertyId(id, &table, &index); !IsOk(status)) {
    return status;
  }
  entry = &table[index];
  return Status::kOk;
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
    ReadInTaskSection(id, entry, task, buffer, size,
                      [&](const char16_t* section, const char16_t* key,
                          const char16_t* default_value, char16_t* out, uint32_t capacity) {
                        frame::ProfileRead(section, key, default_value, out, capacity, target.path);
                      });
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
    if (NamesLibrarySection(task)) return Status::kInvalidParameter;
    section = task;
    text = TaskModeText(id, value, reference);
  }
  return frame::ProfileEdit(section, entry.key, text, target.path);
}

Status ReadTaskPropertyValue(const frame::ProfileReader& file, catalogue::PropertyId id,
                             const char16_t* task, char16_t* buffer, uint32_t size) {
  if (buffer == nullptr) return Status::kInvalidParameter;
  buffer[0] = u'\0';
  const catalogue::PropertyEntry* entry;
  if (Status status = ResolveTaskEntry(id, task, entry); !IsOk(status)) return status;
  ReadInTaskSection(id, *entry, task, buffer, size,
                    [&](const char16_t* section, const char16_t* key, const char16_t* default_value,
                        char16_t* out, uint32_t capacity) {
                      file.Read(section, key, default_value, out, capacity);
                    });
  return Status::kOk;
}

Status WriteTaskPropertyValue(frame::ProfileEditor& file, catalogue::PropertyId id,
                              const char16_t* task, const char16_t* value) {
  if (value == nullptr) return Status::kInvalidParameter;
  const catalogue::PropertyEntry* entry;
  if (Status status = ResolveTaskEntry(id, task, entry); !IsOk(status)) return status;
  if (NamesLibrarySection(task)) return Status::kInvalidParameter;
  char16_t reference[kLabelReferenceCapacity];
  return file.Write(task, entry->key, TaskModeText(id, value, reference));
}

}  // namespace orx::access
