// The enumeration records and the registry that hands out their handles.
// Handles are tokens, never addresses: a closed handle, one that never came
// from an opening, or one whose record now serves another enumeration is
// recognised and refused. Records are pooled and never freed, so a thread
// that still holds a record another thread has just closed meets a closed
// record, not freed memory. Each thread remembers the last handle it found,
// so the steps of a walk find their record with one comparison instead of
// the registry's lock and table.
#ifndef ORX_TASKS_QUERY_REGISTRY_H_
#define ORX_TASKS_QUERY_REGISTRY_H_

#include <atomic>
#include <cstdint>
#include <thread>
#include <utility>

#include "tasks/slot_key.h"
#include "tasks/task_file.h"
#include "tasks/task_list_reader.h"

namespace orx::tasks {

// 0 is no handle.
using QueryHandle = uintptr_t;

// The lock of one enumeration record. One thread at a time steps a walk, so
// the lock is nearly always free: taking it is one atomic exchange and
// releasing it one store, where a mutex costs a few dozen instructions on
// every step. A thread that finds it taken (a caller stepping one handle from
// two threads, or a close meeting a step) yields until it is free.
class StepLock {
 public:
  void lock() {
    while (taken_.exchange(true, std::memory_order_acquire)) {
      while (taken_.load(std::memory_order_relaxed)) std::this_thread::yield();
    }
  }
  void unlock() { taken_.store(false, std::memory_order_release); }

 private:
  std::atomic<bool> taken_{false};
};

// Laid out so that a step touches few cache lines: what every step reads
// comes first, the path's text last.
struct TaskQuery {
  // One thread at a time is the contract; the lock makes a caller's
  // overlap harmless instead of a race.
  StepLock step_lock;
  // The handle while the record is live, else 0. Changed only under `step_lock`.
  QueryHandle handle = 0;
  // Kept wider than a slot number: after slot 2147483647 has been delivered
  // the walk ends instead of wrapping round to negative slots.
  int64_t nextSlot = 1;
  char16_t* idBuffer = nullptr;
  uint32_t idCapacity = 0;
  uint32_t keyCapacity = 0;
  char16_t* keyBuffer = nullptr;
  TaskListReader list;
  SlotKeyCounter keys;
};

// A live record, locked for the calling thread until this is dropped; empty
// when the handle asked for is not live. Holds the record alone: the lock is
// the record's own, so being held is all there is to know.
class HeldQuery {
 public:
  HeldQuery() = default;
  // `record`'s step_lock must be held by the calling thread.
  explicit HeldQuery(TaskQuery& record) : record_(&record) {}
  HeldQuery(HeldQuery&& other) noexcept : record_(std::exchange(other.record_, nullptr)) {}
  HeldQuery& operator=(HeldQuery&&) = delete;
  ~HeldQuery() {
    if (record_ != nullptr) record_->step_lock.unlock();
  }

  explicit operator bool() const { return record_ != nullptr; }
  TaskQuery* operator->() const { return record_; }
  TaskQuery& operator*() const { return *record_; }

 private:
  TaskQuery* record_ = nullptr;
};

// A record registered under a new handle (its `handle`), held, with its
// walk state reset. Throws std::bad_alloc and registers nothing when memory
// runs out.
HeldQuery RegisterQuery();

namespace query_registry_internal {

// The calling thread's last found handle and its record. A plain pair, so
// threads leave nothing to destroy; the record's own handle, checked under
// its lock, tells whether the pair is still true.
struct LastFound {
  QueryHandle handle = 0;
  TaskQuery* record = nullptr;
};
// Reached on every step: initial-exec makes that one instruction in a
// shared object instead of a call to __tls_get_addr (sixteen bytes of the
// static TLS the loader keeps for libraries opened late).
#if defined(__ELF__)
__attribute__((tls_model("initial-exec")))
#endif
extern thread_local LastFound last_found;

// HoldQuery when `handle` is not the thread's last found one, or its record
// has been closed since: the registry's lock and table.
HeldQuery HoldFromRegistry(QueryHandle handle);

}  // namespace query_registry_internal

// The live record of `handle`, held; empty when `handle` is not live.
// Inline: the steps of a walk find their record with one comparison.
inline HeldQuery HoldQuery(QueryHandle handle) {
  using query_registry_internal::last_found;
  if (handle != 0 && last_found.handle == handle) [[likely]] {
    TaskQuery& record = *last_found.record;
    record.step_lock.lock();
    if (record.handle == handle) return HeldQuery(record);
    record.step_lock.unlock();
  }
  return query_registry_internal::HoldFromRegistry(handle);
}

// Closes `handle`: its record lets its snapshot go and returns to the pool.
// False when `handle` is not live.
bool RetireQuery(QueryHandle handle);

}  // namespace orx::tasks

#endif  // ORX_TASKS_QUERY_REGISTRY_H_
