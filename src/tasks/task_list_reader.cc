#include "tasks/task_list_reader.h"

#include <mutex>

namespace orx::tasks {

namespace {

// The table of the last snapshot any enumeration read. Never destroyed, so
// enumerations running while the process exits still find it.
struct RememberedTable {
  std::mutex mutex;
  std::shared_ptr<const WatchedSlotTable> table;
};

RememberedTable& Remembered() {
  static auto* remembered = new RememberedTable;
  return *remembered;
}

std::shared_ptr<const WatchedSlotTable> RememberedMatching(const void* identity) {
  RememberedTable& remembered = Remembered();
  std::lock_guard lock(remembered.mutex);
  if (remembered.table != nullptr && remembered.table->watch.Matches(identity)) {
    return remembered.table;
  }
  return nullptr;
}

}  // namespace

Status TaskListReader::RefreshChanged(const frame::ThreadPath& path, const void* current) {
  if (auto known = RememberedMatching(current)) {
    table_ = std::move(known);
    return Status::kOk;
  }
  table_.reset();
  read_.emplace(path.text.data());  // zero-terminated
  if (const Status status = read_->load_status(); !IsOk(status)) {
    read_.reset();
    return status;
  }
  // The file may have changed since it was checked above; another thread
  // may have remembered the table of this very snapshot meanwhile.
  if (auto known = RememberedMatching(read_->identity())) {
    table_ = std::move(known);
    return Status::kOk;
  }
  auto fresh = std::make_shared<const WatchedSlotTable>(*read_);
  {
    RememberedTable& remembered = Remembered();
    std::lock_guard lock(remembered.mutex);
    remembered.table = fresh;
  }
  table_ = std::move(fresh);
  return Status::kOk;
}

void TaskListReader::Clear() {
  table_.reset();
  read_.reset();
}

}  // namespace orx::tasks
