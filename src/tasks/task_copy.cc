// The whole copy, the listing of the new id included, is one transaction on
// ormix5.ini: readers see no task or the complete one, a killed copy leaves
// the file as it was, and a failed write leaves nothing behind and is
// reported. Inside it the steps run in the order a sequence of single calls
// would make them, on the transaction's working copy, so the file ends as
// that sequence would leave it.
#include "tasks/task_copy.h"

#include "access/property_value.h"
#include "access/task_id.h"
#include "catalogue/property_names.h"
#include "frame/guid.h"
#include "frame/profile.h"
#include "frame/strings.h"
#include "tasks/task_file.h"
#include "tasks/task_lifecycle.h"

namespace orx::tasks {
namespace {

using catalogue::kTaskLabel;

// Values travel through a buffer of this size, so a longer value arrives
// cut to 1023 units; the localized format is loaded into 100 units.
constexpr uint32_t kValueCapacity = 1024;
constexpr uint32_t kFormatCapacity = 100;

Status CopyProperties(frame::ProfileEditor& file, const char16_t* source, const char16_t* copy) {
  if (Status status = ListInFreeSlot(file, copy); !IsOk(status)) return status;

  char16_t value[kValueCapacity];
  IgnoreStatus(access::ReadTaskPropertyValue(file, kTaskLabel, source, value, kValueCapacity));
  char16_t format[kFormatCapacity];
  format[0] = u'\0';
  frame::LoadStringW(frame::basGetBaseLang(), frame::kCopiedLabelFormatId, format, kFormatCapacity);
  const std::u16string label = FormatCopiedLabel(format, value);
  if (Status status = access::WriteTaskPropertyValue(file, kTaskLabel, copy, label.c_str());
      !IsOk(status)) {
    return status;
  }

  // Every other property in identifier order, each written right after its
  // read; Deleted and the default, special and temporary marks included.
  const auto end = static_cast<catalogue::PropertyId>(
      kTaskLabel + catalogue::CountEntries(catalogue::kTaskTable));
  for (catalogue::PropertyId id = kTaskLabel + 1; id < end; ++id) {
    IgnoreStatus(access::ReadTaskPropertyValue(file, id, source, value, kValueCapacity));
    if (Status status = access::WriteTaskPropertyValue(file, id, copy, value); !IsOk(status)) {
      return status;
    }
  }
  return Status::kOk;
}

}  // namespace

std::u16string FormatCopiedLabel(std::u16string_view format, std::u16string_view label) {
  std::u16string text;
  text.reserve(format.size() + label.size());
  bool substituted = false;
  for (size_t i = 0; i < format.size(); ++i) {
    const char16_t next = i + 1 < format.size() ? format[i + 1] : u'\0';
    if (format[i] == u'%' && next == u'%') {
      text += u'%';
      ++i;
    } else if (format[i] == u'%' && next == u's' && !substituted) {
      text += label;
      substituted = true;
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

Status CopyTaskDefinition(const char16_t* source, char16_t* idBuffer, uint32_t* idLength) {
  if (source == nullptr || idBuffer == nullptr || idLength == nullptr ||
      access::NamesLibrarySection(source)) {
    return Status::kInvalidParameter;
  }
  if (*idLength < kTaskIdCapacity) return Status::kInsufficientBuffer;
  idBuffer[0] = u'\0';
  char16_t copy[frame::kTaskGuidLength + 1];
  if (Status status = frame::NewTaskGuid(copy); !IsOk(status)) return status;
  frame::SettingsPath path;
  if (Status status = BuildTaskFilePath(path); !IsOk(status)) return status;
  const Status status = frame::ProfileTransaction(
      path, [&](frame::ProfileEditor& file) { return CopyProperties(file, source, copy); });
  if (!IsOk(status)) return status;
  std::u16string_view(copy).copy(idBuffer, frame::kTaskGuidLength);
  idBuffer[frame::kTaskGuidLength] = u'\0';
  *idLength = frame::kTaskGuidLength;
  return Status::kOk;
}

}  // namespace orx::tasks
