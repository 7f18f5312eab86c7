// The provider default overrides live here because they are part of how a
// read chooses its default, not part of the catalogue rows.
#include "access/property_value.h"

#include <string_view>

#include "access/label_reference.h"
#include "access/provider_name.h"
#include "access/task_id.h"
#include "base/text_length.h"
#include "catalogue/property_id.h"
#include "catalogue/property_names.h"
#include "frame/profile.h"
#include "frame/settings_path.h"

namespace orx::access {
namespace {

struct ProviderDefaultOverride {
  catalogue::PropertyId id;
  std::u16string_view provider;  // measured once, when the table is built
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
const char16_t* ProviderDefault(catalogue::PropertyId id, std::u16string_view provider,
                                const char16_t* catalogue_default) {
  for (const ProviderDefaultOverride& row : kProviderDefaultOverrides) {
    if (row.id == id && row.provider == provider) return row.default_value;
  }
  return catalogue_default;
}

struct Target {
  const catalogue::PropertyEntry* entry;
  bool has_provider = false;
  std::u16string_view provider;  // the provider's name, measured once
};

// The resolve step both routines share; the path is theirs to build.
// `check_provider` false leaves the provider's name to the caller to check.
Status ResolveTarget(catalogue::PropertyId id, const char16_t* provider, Target& target,
                     bool check_provider = true) {
  const catalogue::PropertyEntry* table;
  uint32_t index;
  if (Status status = catalogue::ResolvePropertyId(id, &table, &index); !IsOk(status)) {
    return status;
  }
  target.entry = &table[index];
  if (provider != nullptr) {
    target.has_provider = true;
    target.provider = std::u16string_view(provider, TextLength(provider));
    if (check_provider && !IsSafeProviderName(target.provider)) return Status::kInvalidParameter;
    return Status::kOk;
  }
  if (catalogue::IsInProviderRange(id)) return Status::kInvalidParameter;
  return Status::kOk;
}

// The thread's path of the target's file, with the provider's name checked
// first as BuildSettingsPath's callers do. The number of the last path
// whose provider name passed is remembered, so a provider read again checks
// nothing but that number.
Status TargetPath(const Target& target, frame::ThreadPath& path) {
#if defined(__ELF__)
  __attribute__((tls_model("initial-exec")))
#endif
  static thread_local uint64_t last_checked_build = 0;
  if (!target.has_provider) return frame::ThreadSettingsPathOfConstant(target.entry->file, path);
  const Status status = frame::ThreadSettingsPath(target.provider, u".ini", path);
  if (IsOk(status) && path.build == last_checked_build) return Status::kOk;
  if (!IsSafeProviderName(target.provider)) return Status::kInvalidParameter;
  if (IsOk(status)) last_checked_build = path.build;
  return status;
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
  frame::ThreadPath path;
  Status status = ResolveTarget(id, provider, target, false);
  if (IsOk(status)) status = TargetPath(target, path);
  if (!IsOk(status)) {
    buffer[0] = u'\0';
    return status;
  }
  const catalogue::PropertyEntry& entry = *target.entry;
  if (task != nullptr) {
    ReadInTaskSection(id, entry, task, buffer, size,
                      [&](const char16_t* section, const char16_t* key,
                          const char16_t* default_value, char16_t* out, uint32_t capacity) {
                        frame::ProfileRead(section, key, default_value, out, capacity, path);
                      });
    return Status::kOk;
  }
  const char16_t* default_value = provider != nullptr
                                      ? ProviderDefault(id, target.provider, entry.default_value)
                                      : entry.default_value;
  frame::ProfileRead(entry.section, entry.key, default_value, buffer, size, path);
  return Status::kOk;
}

Status WritePropertyValue(catalogue::PropertyId id, const char16_t* task, const char16_t* provider,
                          const char16_t* value) {
  if (value == nullptr) return Status::kInvalidParameter;
  Target target;
  frame::SettingsPath path;
  if (Status status = ResolveTarget(id, provider, target); !IsOk(status)) return status;
  const std::u16string_view file =
      target.has_provider ? target.provider : std::u16string_view(target.entry->file);
  const std::u16string_view suffix = target.has_provider ? u".ini" : u"";
  if (Status status = frame::BuildSettingsPath(path, file, suffix); !IsOk(status)) {
    return status;
  }
  const catalogue::PropertyEntry& entry = *target.entry;
  const char16_t* section = entry.section;
  const char16_t* text = value;
  char16_t reference[kLabelReferenceCapacity];
  if (task != nullptr) {
    if (NamesLibrarySection(task)) return Status::kInvalidParameter;
    section = task;
    text = TaskModeText(id, value, reference);
  }
  return frame::ProfileEdit(section, entry.key, text, path);
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
