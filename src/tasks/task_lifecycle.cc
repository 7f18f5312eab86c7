// A new task's id is copied out only once its slot is written: a caller
// never holds an id that the list does not have.
#include "tasks/task_lifecycle.h"

#include <string_view>

#include "access/property_value.h"
#include "access/task_id.h"
#include "base/caller_buffer.h"
#include "catalogue/property_names.h"
#include "frame/guid.h"
#include "frame/names.h"
#include "tasks/slot_key.h"
#include "tasks/slot_table.h"
#include "tasks/task_file.h"

namespace orx::tasks {
namespace {

using catalogue::kTaskListSection;

// Removes the definition of a task whose id no section can be written
// under, so none can exist: only its slot goes, and only when the slot
// lists that id (a hand-edited file may hold such an id).
Status DeleteUnnamableDefinition(frame::ProfileEditor& editor, const char16_t* slotKey,
                                 const char16_t* task, Status refusal) {
  const std::optional<frame::TextView> listed = editor.Find(kTaskListSection, slotKey);
  if (!listed || !frame::EqualsIgnoreCase(*listed, task)) return refusal;
  return editor.Write(kTaskListSection, slotKey, nullptr);
}

}  // namespace

Status ListInFreeSlot(frame::ProfileEditor& editor, const char16_t* task) {
  const int32_t slot = FindFreeTaskSlot(editor);
  if (slot == kNoFreeSlot) return Status::kNoMoreItems;
  SlotKey key;
  FormSlotKey(slot, key);
  return editor.Write(kTaskListSection, key, task);
}

Status CreateTask(char16_t* idBuffer, uint32_t* idLength) {
  if (idBuffer == nullptr) return Status::kInvalidParameter;
  const bool registration = idLength == nullptr;
  char16_t guid[frame::kTaskGuidLength + 1];
  if (registration) {
    if (idBuffer[0] == u'\0') return Status::kInvalidParameter;
    if (Status status = access::CheckNewTaskId(idBuffer); !IsOk(status)) return status;
  } else {
    idBuffer[0] = u'\0';
    if (*idLength < kTaskIdCapacity) {
      *idLength = frame::kTaskGuidLength;
      return Status::kInsufficientBuffer;
    }
    if (Status status = frame::NewTaskGuid(guid); !IsOk(status)) return status;
  }
  frame::SettingsPath path;
  if (Status status = BuildTaskFilePath(path); !IsOk(status)) return status;
  const char16_t* id = registration ? idBuffer : guid;
  // An id listed already needs no write, so it is answered without the
  // writer lock; the test is made again under the lock before listing.
  if (registration && IsTaskListed(frame::ProfileView(path), id)) return Status::kOk;
  const Status status = frame::ProfileTransaction(path, [&](frame::ProfileEditor& editor) {
    if (registration && IsTaskListed(editor, id)) return Status::kOk;
    return ListInFreeSlot(editor, id);
  });
  if (!IsOk(status) || registration) return status;
  std::u16string_view(guid).copy(idBuffer, frame::kTaskGuidLength + 1);
  idBuffer[frame::kTaskGuidLength] = u'\0';
  *idLength = frame::kTaskGuidLength;
  return Status::kOk;
}

Status DeleteTask(const char16_t* task) {
  if (task == nullptr) return Status::kInvalidParameter;
  return access::WritePropertyValue(catalogue::kTaskDeleted, task, nullptr, u"1");
}

Status DeleteTaskDefinition(const char16_t* slotKey, const char16_t* task) {
  if (slotKey == nullptr || task == nullptr || access::NamesLibrarySection(task)) {
    return Status::kInvalidParameter;
  }
  frame::SettingsPath path;
  if (Status status = BuildTaskFilePath(path); !IsOk(status)) return status;
  const Status nameable = frame::CheckSectionName(task);
  return frame::ProfileTransaction(path, [&](frame::ProfileEditor& editor) {
    if (!IsOk(nameable)) return DeleteUnnamableDefinition(editor, slotKey, task, nameable);
    if (Status status = editor.Write(kTaskListSection, slotKey, nullptr); !IsOk(status)) {
      return status;
    }
    return editor.Write(task, nullptr, nullptr);
  });
}

Status FindTaskByName(const char16_t*, char16_t* buffer, uint32_t capacity) {
  if (buffer == nullptr) return Status::kInvalidParameter;
  CopyZeroFilled(u"6666", buffer, capacity);
  return Status::kOk;
}

}  // namespace orx::tasks
