// The profile calls in the shapes the access and task layers are written
// against: a read of one key (section, key, default, buffer, size, path), a
// read of a whole section, and a write in its three forms. Paths are the
// zero-terminated UTF-16 paths BuildSettingsPath makes.
//
// Beyond the single calls, a view reads several keys from one validated
// snapshot of a file, and a transaction runs reads and writes on one file's
// document under its writer lock and writes the file once at the end.
#ifndef ORX_FRAME_PROFILE_H_
#define ORX_FRAME_PROFILE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "base/status.h"
#include "frame/settings_path.h"
#include "platform/ini/text_view.h"

namespace orx::platform::ini {
class Document;
}

namespace orx::frame {

// Text the document hands out: UTF-16, or ASCII bytes standing for the
// units of the same value (see platform/ini/text_view.h).
using TextView = platform::ini::TextView;

// Copies the value of `key` in `section` into `buffer`: at most size-1
// units and a terminator; `default_value` (null: empty, trailing spaces
// dropped) when the file, section or key is missing. Returns the number of
// units copied. `size` 0 leaves the buffer untouched.
uint32_t ProfileRead(const char16_t* section, const char16_t* key, const char16_t* default_value,
                     char16_t* buffer, uint32_t size, const char16_t* path);

// ProfileRead of the calling thread's settings path (ThreadSettingsPath),
// which is neither measured nor, while its number stays, compared again.
uint32_t ProfileRead(const char16_t* section, const char16_t* key, const char16_t* default_value,
                     char16_t* buffer, uint32_t size, const ThreadPath& path);

// Fills `buffer` with the entries of `section` ("key=value", or the bare
// text of a line without '='), each ended by a zero, and one more zero after
// the last; a missing section gives a single zero pair. A list that does not
// fit is cut and still doubly terminated. Returns the units written before
// the final zero.
uint32_t ProfileReadSection(const char16_t* section, char16_t* buffer, uint32_t size,
                            const char16_t* path);

// With a value: sets the key, creating file, section and key as needed.
// With a null value: removes the key. With a null key: removes the section.
// Returns kOk or why nothing was written (kFileNotFound for a null section).
Status ProfileEdit(const char16_t* section, const char16_t* key, const char16_t* value,
                   const char16_t* path);

// ProfileEdit in the platform's shape: false on failure, with the reason in
// ProfileLastError().
bool ProfileWrite(const char16_t* section, const char16_t* key, const char16_t* value,
                  const char16_t* path);

// The calling thread's last error (Win32 number) after the calls above.
uint32_t ProfileLastError();

// Reads on one document: a snapshot (ProfileView) or a transaction's working
// copy (ProfileEditor). The same rules as ProfileRead and ProfileReadSection,
// without fixed buffers where a view into the document serves.
class ProfileReader {
 public:
  uint32_t Read(const char16_t* section, const char16_t* key, const char16_t* default_value,
                char16_t* buffer, uint32_t size) const;
  uint32_t ReadSection(const char16_t* section, char16_t* buffer, uint32_t size) const;

  // The value as Read would return it, or nullopt when the key is missing.
  // The view lives until the document is edited or the reader is dropped.
  std::optional<TextView> Find(std::u16string_view section, std::u16string_view key) const;

  // Calls `visit(key, value)` for each entry with '=' of `section`, in file
  // order, with the value as Read would return it; stops when `visit`
  // returns false.
  void ForEachValue(std::u16string_view section,
                    const std::function<bool(TextView key, TextView value)>& visit) const;

 protected:
  explicit ProfileReader(const platform::ini::Document* document) : document_(document) {}
  const platform::ini::Document* document_;
};

// A validated snapshot of one file, taken once; it does not change when the
// file does. A file that cannot be read gives an empty snapshot.
class ProfileView : public ProfileReader {
 public:
  explicit ProfileView(const char16_t* path);
  ~ProfileView();

  // An identity of the snapshot: equal for two views of the same unchanged
  // file content loaded once, so a caller may remember what it derived.
  const void* identity() const { return document_; }

  // kOk, or why the file could not be read and the snapshot is empty: an
  // empty snapshot of an unreadable file must not be taken for an empty file.
  Status load_status() const { return load_status_; }

 private:
  friend class SnapshotWatch;
  std::shared_ptr<const platform::ini::Document> snapshot_;
  Status load_status_ = Status::kOk;
};

// The identity() that a ProfileView of `path` taken now would have, found
// without taking a snapshot: for checking whether a remembered view is still
// current. Null when the file could not be read. That document stays alive
// until the calling thread's next profile call. For the calling thread's
// settings path, which a caller asking on every step neither measures nor,
// while its number stays, compares again.
const void* CurrentProfileIdentity(const ThreadPath& path);

// Remembers which snapshot a view had without keeping its document alive, so
// that what a caller derived from the view can outlive it while an edit of
// the file still takes the cached document over instead of copying it.
class SnapshotWatch {
 public:
  SnapshotWatch() = default;
  explicit SnapshotWatch(const ProfileView& view)
      : identity_(view.identity()), snapshot_(view.snapshot_) {}

  // True when `identity` (from CurrentProfileIdentity) is the watched
  // snapshot. A document that has gone may leave its address to a new one,
  // so the watched one must also still be alive; it then is the document
  // CurrentProfileIdentity found, and views into it hold until the thread's
  // next profile call.
  bool Matches(const void* identity) const {
    return identity != nullptr && identity == identity_ && !snapshot_.expired();
  }

 private:
  const void* identity_ = nullptr;
  std::weak_ptr<const platform::ini::Document> snapshot_;
};

// One write of ProfileEditor::WriteSection: with a value, sets `key`;
// without, removes it.
struct ProfileKeyWrite {
  std::u16string_view key;
  std::optional<std::u16string_view> value;
};

// A transaction's working copy of one file's document.
class ProfileEditor : public ProfileReader {
 public:
  // The write forms of ProfileEdit, applied to the working copy. A refused
  // name or value returns why, and the working copy is unchanged.
  Status Write(const char16_t* section, const char16_t* key, const char16_t* value);

  // The key writes of Write on one section, in order, with the end state
  // they give one by one, in one pass over the document: for many writes to
  // one section of a large file. All are checked first; when one is refused,
  // none is applied and the status of the first refused is returned.
  Status WriteSection(const char16_t* section, std::span<const ProfileKeyWrite> writes);

 private:
  friend Status ProfileTransaction(const char16_t*, const std::function<Status(ProfileEditor&)>&);
  explicit ProfileEditor(platform::ini::Document* document)
      : ProfileReader(document), mutable_document_(document) {}
  platform::ini::Document* mutable_document_;
};

// Runs `body` on the current document of the file at `path` under its writer
// lock. When `body` returns kOk, the file is written once if anything changed
// and the write's status is returned; any other status from `body` is
// returned and nothing is written.
Status ProfileTransaction(const char16_t* path, const std::function<Status(ProfileEditor&)>& body);

}  // namespace orx::frame

#endif  // ORX_FRAME_PROFILE_H_
