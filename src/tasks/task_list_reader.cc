#include "tasks/task_list_reader.h"

#include <mutex>
#include <utility>

namespace orx::tasks {

struct WatchedSlotTable {
  explicit WatchedSlotTable(const frame::ProfileView& view) : watch(view), table(view) {}

  frame::SnapshotWatch watch;
  // Views into the watched document: read only while the watch matches.
  SlotTable table;
};

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

TaskListReader::TaskListReader() = default;
TaskListReader::~TaskListReader() = default;
// The table lives on the heap, so its parts follow table_ unchanged.
TaskListReader::TaskListReader(TaskListReader&& other) noexcept
    : table_(std::move(other.table_)),
      watch_(std::exchange(other.watch_, nullptr)),
      slots_(std::exchange(other.slots_, nullptr)),
      read_(std::move(other.read_)) {}

TaskListReader& TaskListReader::operator=(TaskListReader&& other) noexcept {
  table_ = std::move(other.table_);
  watch_ = std::exchange(other.watch_, nullptr);
  slots_ = std::exchange(other.slots_, nullptr);
  read_ = std::move(other.read_);
  return *this;
}

Status TaskListReader::RefreshChanged(const frame::ThreadPath& path, const void* current) {
  if (auto known = RememberedMatching(current)) {
    Take(std::move(known));
    return Status::kOk;
  }
  Take(nullptr);
  read_.emplace(path.text.data());  // zero-terminated
  if (const Status status = read_->load_status(); !IsOk(status)) {
    read_.reset();
    return status;
  }
  // The file may have changed since it was checked above; another thread
  // may have remembered the table of this very snapshot meanwhile.
  if (auto known = RememberedMatching(read_->identity())) {
    Take(std::move(known));
    return Status::kOk;
  }
  auto fresh = std::make_shared<const WatchedSlotTable>(*read_);
  {
    RememberedTable& remembered = Remembered();
    std::lock_guard lock(remembered.mutex);
    remembered.table = fresh;
  }
  Take(std::move(fresh));
  return Status::kOk;
}

void TaskListReader::Take(std::shared_ptr<const WatchedSlotTable> table) {
  table_ = std::move(table);
  watch_ = table_ != nullptr ? &table_->watch : nullptr;
  slots_ = table_ != nullptr ? &table_->table : nullptr;
}

void TaskListReader::Clear() {
  Take(nullptr);
  read_.reset();
}

}  // namespace orx::tasks
