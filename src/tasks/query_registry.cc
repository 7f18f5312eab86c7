#include "tasks/query_registry.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace orx::tasks {

using query_registry_internal::last_found;

namespace {

// Never destroyed, so a handle used while the process exits still meets a
// valid registry, and no record is ever freed.
struct QueryRegistry {
  std::mutex mutex;
  QueryHandle last_handle = 0;
  std::unordered_map<QueryHandle, TaskQuery*> live;
  std::vector<std::unique_ptr<TaskQuery>> records;
  // The records that are not live. It keeps room for every record, so that
  // a close never allocates.
  std::vector<TaskQuery*> spare;
};

QueryRegistry& Registry() {
  static auto* registry = new QueryRegistry;
  return *registry;
}

inline HeldQuery HoldIfLive(TaskQuery& record, QueryHandle handle) {
  record.step_lock.lock();
  if (record.handle != handle) {
    record.step_lock.unlock();
    return {};
  }
  return HeldQuery(record);
}

}  // namespace

HeldQuery RegisterQuery() {
  QueryRegistry& registry = Registry();
  TaskQuery* record = nullptr;
  QueryHandle handle = 0;
  {
    std::lock_guard lock(registry.mutex);
    if (registry.spare.empty()) {
      if (registry.spare.capacity() <= registry.records.size()) {
        registry.spare.reserve(2 * registry.records.size() + 1);
      }
      registry.records.push_back(std::make_unique<TaskQuery>());
      registry.spare.push_back(registry.records.back().get());
    }
    // A counter that wraps round (32-bit handles) skips 0 and live handles.
    do {
      handle = ++registry.last_handle;
    } while (handle == 0 || registry.live.contains(handle));
    // The record leaves the pool only once the table has taken it.
    registry.live.emplace(handle, registry.spare.back());
    record = registry.spare.back();
    registry.spare.pop_back();
  }
  record->step_lock.lock();
  record->handle = handle;
  record->nextSlot = 1;
  last_found = {handle, record};
  return HeldQuery(*record);
}

namespace query_registry_internal {

#if defined(__ELF__)
__attribute__((tls_model("initial-exec")))
#endif
thread_local LastFound last_found;

HeldQuery HoldFromRegistry(QueryHandle handle) {
  if (handle == 0) return {};
  TaskQuery* record = nullptr;
  {
    QueryRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.live.find(handle);
    if (found == registry.live.end()) return {};
    record = found->second;
  }
  HeldQuery held = HoldIfLive(*record, handle);
  if (held) last_found = {handle, record};
  return held;
}

}  // namespace query_registry_internal

bool RetireQuery(QueryHandle handle) {
  QueryRegistry& registry = Registry();
  TaskQuery* record = nullptr;
  {
    std::lock_guard lock(registry.mutex);
    const auto found = registry.live.find(handle);
    if (found == registry.live.end()) return false;
    record = found->second;
    registry.live.erase(found);
  }
  {
    // Waits for a step another thread may be making on the record.
    std::lock_guard lock(record->step_lock);
    record->handle = 0;
    record->list.Clear();
  }
  std::lock_guard lock(registry.mutex);
  registry.spare.push_back(record);
  return true;
}

}  // namespace orx::tasks
