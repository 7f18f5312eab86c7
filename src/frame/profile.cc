// The profile wrappers over the settings-file store: caller buffers, null
// arguments and the last error are handled here, the files and the parsing
// below, in platform/.
//
// The last error after each single call: 0 when the value or section was
// found and fit, kFileNotFound when the file, section or key was missing (the
// default was used), kMoreData when the text was cut to the buffer,
// kInvalidParameter for a null buffer or name, and the store's error when the
// file could not be read or written. Editor writes and transactions return
// their status instead.
#include "frame/profile.h"

#include <algorithm>
#include <new>
#include <vector>

#include "base/caller_buffer.h"
#include "base/text_length.h"
#include "platform/ini/document.h"
#include "platform/profile_store.h"

namespace orx::frame {
namespace {

using platform::ini::Document;
using platform::ini::SectionEntry;

std::u16string_view View(const char16_t* text) {
  return text != nullptr ? std::u16string_view(text, TextLength(text)) : std::u16string_view();
}

void SetLastStatus(Status status) { platform::SetLastError(static_cast<uint32_t>(ToAbi(status))); }

// An empty list: one zero, and a second where the buffer has room.
uint32_t EmptyList(char16_t* buffer, uint32_t size) {
  buffer[0] = u'\0';
  if (size > 1) buffer[1] = u'\0';
  return 0;
}

enum class ReadShape { kValue, kList };

// The checks every read makes before it looks at a document. Returns false
// when the read ends there: for size 0 (nothing touched), a null buffer
// (87), or a missing name or path (87, the buffer left empty in the shape
// the read returns). Every such read returns 0.
bool BeginRead(char16_t* buffer, uint32_t size, bool arguments_given, ReadShape shape) {
  if (size == 0) return false;
  if (buffer != nullptr && arguments_given) return true;
  if (buffer != nullptr) {
    if (shape == ReadShape::kList) {
      EmptyList(buffer, size);
    } else {
      buffer[0] = u'\0';
    }
  }
  SetLastStatus(Status::kInvalidParameter);
  return false;
}

// A default loses its trailing spaces (only spaces: a trailing TAB stays).
std::u16string_view DefaultText(const char16_t* default_value) {
  std::u16string_view text = View(default_value);
  size_t end = text.find_last_not_of(u' ');
  return end == std::u16string_view::npos ? std::u16string_view() : text.substr(0, end + 1);
}

// Copies what a read found, or the default, and sets the last error.
uint32_t CopyFound(std::optional<TextView> value, const char16_t* default_value, char16_t* buffer,
                   uint32_t size) {
  const CopyResult copy = value ? CopyTerminated(*value, buffer, size)
                                : CopyTerminated(DefaultText(default_value), buffer, size);
  SetLastStatus(copy.cut ? Status::kMoreData : value ? Status::kOk : Status::kFileNotFound);
  return copy.copied;
}

uint32_t ReadValue(const Document& document, const char16_t* section, const char16_t* key,
                   const char16_t* default_value, char16_t* buffer, uint32_t size) {
  return CopyFound(document.FindValue(View(section), View(key)), default_value, buffer, size);
}

// Fills the buffer with the section's entries as a double-zero-terminated
// list. The list is written as far as it fits; once it is known not to fit,
// its last two units become zeros and size-2 is returned.
uint32_t ReadSectionList(const Document& document, const char16_t* section, char16_t* buffer,
                         uint32_t size) {
  size_t count = 0;  // units of the list before its final zero, written or not
  auto append = [&](TextView text) {
    if (count < size) text.CopyTo(buffer + count, std::min<size_t>(text.size(), size - count));
    count += text.size();
  };
  bool found = document.ForEachEntry(View(section), [&](const SectionEntry& entry) {
    append(entry.key);
    if (entry.has_equals) {
      append(u"=");
      append(entry.raw_value);
    }
    append(std::u16string_view(u"\0", 1));
    return count < size;  // past the end: the rest would be cut anyway
  });
  if (count + 1 <= size) {
    SetLastStatus(found ? Status::kOk : Status::kFileNotFound);
    if (count == 0) return EmptyList(buffer, size);
    buffer[count] = u'\0';
    return static_cast<uint32_t>(count);
  }
  SetLastStatus(Status::kMoreData);
  if (size < 2) {
    buffer[0] = u'\0';
    return 0;
  }
  buffer[size - 2] = u'\0';
  buffer[size - 1] = u'\0';
  return size - 2;
}

Status ApplyWrite(Document& document, const char16_t* section, const char16_t* key,
                  const char16_t* value) {
  if (key == nullptr) return document.DeleteSection(View(section));
  if (value == nullptr) return document.DeleteKey(View(section), View(key));
  return document.SetValue(View(section), View(key), View(value));
}

platform::Snapshot LoadOrEmpty(const char16_t* path, Status& status) {
  Result<platform::Snapshot> snapshot = platform::DefaultProfileStore().Load(View(path));
  if (snapshot.ok()) {
    status = Status::kOk;
    return std::move(*snapshot);
  }
  status = snapshot.status();
  static const platform::Snapshot* empty =
      new platform::Snapshot(std::make_shared<const Document>());
  return *empty;
}

// For a single call: the document stays valid until this thread's next
// load, with no reference taken.
const Document& BorrowOrEmpty(std::u16string_view path, Status& status) {
  Result<const Document*> document = platform::DefaultProfileStore().Borrow(path);
  if (document.ok()) {
    status = Status::kOk;
    return **document;
  }
  status = document.status();
  static const Document* empty = new Document;
  return *empty;
}

}  // namespace

uint32_t ProfileRead(const char16_t* section, const char16_t* key, const char16_t* default_value,
                     char16_t* buffer, uint32_t size, const char16_t* path) {
  if (path == nullptr) {
    BeginRead(buffer, size, false, ReadShape::kValue);
    return 0;
  }
  return ProfileRead(section, key, default_value, buffer, size, ThreadPath{View(path)});
}

uint32_t ProfileRead(const char16_t* section, const char16_t* key, const char16_t* default_value,
                     char16_t* buffer, uint32_t size, const ThreadPath& path) {
  if (!BeginRead(buffer, size, section && key, ReadShape::kValue)) return 0;
  // A file that cannot be read reads as empty: the default, with the
  // file's error as the last error.
  const Result<std::optional<TextView>> found =
      platform::DefaultProfileStore().FindValue(path.text, View(section), View(key), path.build);
  const uint32_t copied =
      CopyFound(found.ok() ? *found : std::nullopt, default_value, buffer, size);
  if (!found.ok()) SetLastStatus(found.status());
  return copied;
}

uint32_t ProfileReadSection(const char16_t* section, char16_t* buffer, uint32_t size,
                            const char16_t* path) {
  if (!BeginRead(buffer, size, section && path, ReadShape::kList)) return 0;
  Status status;
  const Document& document = BorrowOrEmpty(path, status);
  if (status != Status::kOk) {
    SetLastStatus(status);
    return EmptyList(buffer, size);
  }
  return ReadSectionList(document, section, buffer, size);
}

Status ProfileEdit(const char16_t* section, const char16_t* key, const char16_t* value,
                   const char16_t* path) {
  // A missing section is what the platform call reports as 2; nothing is touched.
  if (section == nullptr) return Status::kFileNotFound;
  if (path == nullptr) return Status::kInvalidParameter;
  try {
    return platform::DefaultProfileStore().Edit(
        View(path), [&](Document& document) { return ApplyWrite(document, section, key, value); });
  } catch (const std::bad_alloc&) {
    return Status::kNotEnoughMemory;
  }
}

bool ProfileWrite(const char16_t* section, const char16_t* key, const char16_t* value,
                  const char16_t* path) {
  const Status status = ProfileEdit(section, key, value, path);
  SetLastStatus(status);
  return IsOk(status);
}

uint32_t ProfileLastError() { return platform::LastError(); }

uint32_t ProfileReader::Read(const char16_t* section, const char16_t* key,
                             const char16_t* default_value, char16_t* buffer, uint32_t size) const {
  if (!BeginRead(buffer, size, section && key, ReadShape::kValue)) return 0;
  return ReadValue(*document_, section, key, default_value, buffer, size);
}

uint32_t ProfileReader::ReadSection(const char16_t* section, char16_t* buffer,
                                    uint32_t size) const {
  if (!BeginRead(buffer, size, section != nullptr, ReadShape::kList)) return 0;
  return ReadSectionList(*document_, section, buffer, size);
}

std::optional<TextView> ProfileReader::Find(std::u16string_view section,
                                            std::u16string_view key) const {
  return document_->FindValue(section, key);
}

void ProfileReader::ForEachValue(
    std::u16string_view section,
    const std::function<bool(TextView key, TextView value)>& visit) const {
  document_->ForEachEntry(section, [&](const SectionEntry& entry) {
    if (!entry.has_equals) return true;
    return visit(entry.key, platform::ini::ReadForm(entry.raw_value));
  });
}

const void* CurrentProfileIdentity(const ThreadPath& path) {
  return platform::DefaultProfileStore().CurrentDocument(path.text, path.build);
}

ProfileView::ProfileView(const char16_t* path) : ProfileReader(nullptr) {
  snapshot_ = LoadOrEmpty(path, load_status_);
  document_ = snapshot_.get();
}

ProfileView::~ProfileView() = default;

Status ProfileEditor::Write(const char16_t* section, const char16_t* key, const char16_t* value) {
  if (section == nullptr) return Status::kFileNotFound;
  return ApplyWrite(*mutable_document_, section, key, value);
}

Status ProfileEditor::WriteSection(const char16_t* section,
                                   std::span<const ProfileKeyWrite> writes) {
  if (section == nullptr) return Status::kFileNotFound;
  std::vector<platform::ini::KeyEdit> edits;
  edits.reserve(writes.size());
  for (const ProfileKeyWrite& write : writes) edits.push_back({write.key, write.value});
  return mutable_document_->ApplyToSection(View(section), edits);
}

Status ProfileTransaction(const char16_t* path, const std::function<Status(ProfileEditor&)>& body) {
  if (path == nullptr) return Status::kInvalidParameter;
  Status status = platform::DefaultProfileStore().Edit(View(path), [&](Document& document) {
    ProfileEditor editor(&document);
    return body(editor);
  });
  SetLastStatus(status);
  return status;
}

}  // namespace orx::frame
