// orxProperty.hpp: a header-only C++17 wrapper over the 23 exports of
// orxProperty.h, for callers who would rather not size UTF-16 buffers.
//
//   orx::property::InitLibrary();
//   auto period = orx::property::GetInt(ORX_GENERAL_UPDATE_PERIOD);
//   if (period) std::cout << *period << "\n";
//   orx::property::Set(ORX_GENERAL_SMTP_SERVER, "mail.example.org");
//   for (const orx::property::TaskSlot& slot : orx::property::Tasks()) {
//     std::cout << slot.key_utf8() << " " << slot.id_utf8() << "\n";
//   }
//
// Text goes in as UTF-8 (std::string_view) or UTF-16 (std::u16string_view)
// and comes out as std::string (UTF-8) or, from the *U16 functions,
// std::u16string. Every call answers with a Status (the library's number)
// or a Result<T> (a Status and, on success, the value); nothing throws but
// std::bad_alloc. UTF-8 that is not well formed is refused with
// kNoUnicodeTranslation before the library is called, and so is a UTF-16
// value holding a lone surrogate when it is asked for as UTF-8 (the *U16
// functions return it as stored).
#ifndef ORX_PROPERTY_HPP_
#define ORX_PROPERTY_HPP_

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "orxProperty.h"
#include "orxPropertyBase.hpp"
#include "orxPropertyIds.h"

namespace orx::property {

namespace detail {

inline const orxChar* C(const std::u16string& text) {
  return reinterpret_cast<const orxChar*>(text.c_str());
}
inline orxChar* C(char16_t* text) { return reinterpret_cast<orxChar*>(text); }

inline Result<std::string> Utf8Result(Result<std::u16string> text) {
  if (!text) return text.status();
  std::optional<std::string> utf8 = ToUtf8(*text);
  if (!utf8) return Status(Status::kNoUnicodeTranslation);
  return std::move(*utf8);
}

// The reads cut a value to the buffer and say nothing of its length, so the
// buffer grows until the value leaves room to spare. The library reads files
// of up to 16 MiB, which bounds the growth.
template <typename Read>
Result<std::u16string> ReadWhole(Read read) {
  constexpr uint32_t kLargest = uint32_t{1} << 25;
  for (uint32_t size = 256;; size *= 2) {
    std::u16string buffer(size, u'\0');
    const Status status(read(C(buffer.data()), size));
    if (!status) return status;
    const size_t length = std::u16string_view(buffer.c_str()).size();
    if (length + 1 < size || size >= kLargest) {
      buffer.resize(length);
      return buffer;
    }
  }
}

// A UTF-8 argument as UTF-16, or the status refusing it.
#define ORX_PROPERTY_HPP_U16_OR_RETURN(name, utf8)                           \
  std::optional<std::u16string> name = ::orx::property::detail::ToU16(utf8); \
  if (!name) return Status(Status::kNoUnicodeTranslation)

}  // namespace detail

// ---- Lifecycle ---------------------------------------------------------------

inline Status InitLibrary() { return Status(orxPropertyInitLibrary()); }
inline Status FreeLibrary() { return Status(orxPropertyFreeLibrary()); }

// ---- Reads -------------------------------------------------------------------
// A task or provider given as std::nullopt is passed as the null pointer
// (a task read then reads the general section, as the C function does).

using OptionalName = std::optional<std::u16string_view>;

inline std::optional<std::u16string> Owned(OptionalName name) {
  if (!name) return std::nullopt;
  return std::u16string(*name);
}
inline const orxChar* Pointer(const std::optional<std::u16string>& name) {
  return name ? detail::C(*name) : nullptr;
}

inline Result<std::u16string> GetU16(uint32_t id) {
  return detail::ReadWhole([&](orxChar* b, uint32_t n) { return orxGetProperty(id, b, n); });
}
inline Result<std::u16string> GetTaskU16(OptionalName task, uint32_t id) {
  const auto owned = Owned(task);
  return detail::ReadWhole(
      [&](orxChar* b, uint32_t n) { return orxGetTaskProperty(Pointer(owned), id, b, n); });
}
inline Result<std::u16string> GetProviderU16(OptionalName provider, uint32_t id) {
  const auto owned = Owned(provider);
  return detail::ReadWhole(
      [&](orxChar* b, uint32_t n) { return orxGetProviderProperty(Pointer(owned), id, b, n); });
}

inline Result<std::string> Get(uint32_t id) { return detail::Utf8Result(GetU16(id)); }
inline Result<std::string> GetTask(std::string_view task, uint32_t id) {
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide, task);
  return detail::Utf8Result(GetTaskU16(*wide, id));
}
inline Result<std::string> GetProvider(std::string_view provider, uint32_t id) {
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide, provider);
  return detail::Utf8Result(GetProviderU16(*wide, id));
}

inline Result<int32_t> GetInt(uint32_t id) {
  int32_t value = 0;
  const Status status(orxGetPropertyInt(id, &value));
  return status ? Result<int32_t>(value) : Result<int32_t>(status);
}
inline Result<int32_t> GetTaskInt(OptionalName task, uint32_t id) {
  const auto owned = Owned(task);
  int32_t value = 0;
  const Status status(orxGetTaskPropertyInt(Pointer(owned), id, &value));
  return status ? Result<int32_t>(value) : Result<int32_t>(status);
}
inline Result<int32_t> GetProviderInt(OptionalName provider, uint32_t id) {
  const auto owned = Owned(provider);
  int32_t value = 0;
  const Status status(orxGetProviderPropertyInt(Pointer(owned), id, &value));
  return status ? Result<int32_t>(value) : Result<int32_t>(status);
}

// ---- Writes ------------------------------------------------------------------

inline Status Set(uint32_t id, std::u16string_view value) {
  return Status(orxSetProperty(id, detail::C(std::u16string(value))));
}
inline Status Set(uint32_t id, std::string_view value) {
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide, value);
  return Set(id, std::u16string_view(*wide));
}
inline Status Set(uint32_t id, const char* value) { return Set(id, std::string_view(value)); }
inline Status SetInt(uint32_t id, int32_t value) { return Status(orxSetPropertyInt(id, value)); }

inline Status SetTask(OptionalName task, uint32_t id, std::u16string_view value) {
  const auto owned = Owned(task);
  return Status(orxSetTaskProperty(Pointer(owned), id, detail::C(std::u16string(value))));
}
inline Status SetTask(std::string_view task, uint32_t id, std::string_view value) {
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide_task, task);
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide_value, value);
  return SetTask(OptionalName(*wide_task), id, std::u16string_view(*wide_value));
}
inline Status SetTaskInt(OptionalName task, uint32_t id, int32_t value) {
  const auto owned = Owned(task);
  return Status(orxSetTaskPropertyInt(Pointer(owned), id, value));
}

inline Status SetProvider(OptionalName provider, uint32_t id, std::u16string_view value) {
  const auto owned = Owned(provider);
  return Status(orxSetProviderProperty(Pointer(owned), id, detail::C(std::u16string(value))));
}
inline Status SetProvider(std::string_view provider, uint32_t id, std::string_view value) {
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide_provider, provider);
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide_value, value);
  return SetProvider(OptionalName(*wide_provider), id, std::u16string_view(*wide_value));
}
inline Status SetProviderInt(OptionalName provider, uint32_t id, int32_t value) {
  const auto owned = Owned(provider);
  return Status(orxSetProviderPropertyInt(Pointer(owned), id, value));
}

// ---- Task list ---------------------------------------------------------------

// A new task in the first free slot; its id ("{XXXXXXXX-...}").
inline Result<std::u16string> CreateTaskU16() {
  char16_t id[39] = {};
  uint32_t length = 39;
  const Status status(orxCreateTask(detail::C(id), &length));
  if (!status) return status;
  return std::u16string(id, length);
}
inline Result<std::string> CreateTask() { return detail::Utf8Result(CreateTaskU16()); }

// Lists an existing id unless some slot already holds it.
inline Status RegisterTask(std::u16string_view id) {
  std::u16string owned(id);
  return Status(orxCreateTask(detail::C(owned.data()), nullptr));
}
inline Status RegisterTask(std::string_view id) {
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide, id);
  return RegisterTask(std::u16string_view(*wide));
}

inline Status DeleteTask(std::u16string_view task) {
  return Status(orxDeleteTask(detail::C(std::u16string(task))));
}
inline Status DeleteTask(std::string_view task) {
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide, task);
  return DeleteTask(std::u16string_view(*wide));
}

inline Status DeleteTaskDefinition(std::u16string_view slot_key, std::u16string_view task) {
  return Status(orxDeleteTaskDefinition(detail::C(std::u16string(slot_key)),
                                        detail::C(std::u16string(task))));
}
inline Status DeleteTaskDefinition(std::string_view slot_key, std::string_view task) {
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide_key, slot_key);
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide_task, task);
  return DeleteTaskDefinition(std::u16string_view(*wide_key), std::u16string_view(*wide_task));
}

// What the library answers for any name (it does not look names up).
inline Result<std::string> FindTaskByName(std::string_view name) {
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide, name);
  char16_t buffer[40] = {};
  const Status status(orxFindTaskByName(detail::C(*wide), detail::C(buffer), 40));
  if (!status) return status;
  return detail::Utf8Result(std::u16string(buffer));
}

// A copy of `source` in a new slot, labelled from the localized "Copy of".
inline Result<std::u16string> CopyTaskDefinitionU16(std::u16string_view source) {
  const std::u16string owned(source);
  char16_t id[39] = {};
  uint32_t length = 39;
  const Status status(orxCopyTaskDefinition(detail::C(owned), detail::C(id), &length));
  if (!status) return status;
  return std::u16string(id, length);
}
inline Result<std::string> CopyTaskDefinition(std::string_view source) {
  ORX_PROPERTY_HPP_U16_OR_RETURN(wide, source);
  return detail::Utf8Result(CopyTaskDefinitionU16(*wide));
}

inline Status ShrinkTasks(int32_t last_slot = 0) { return Status(orxShrinkTasks(last_slot)); }

// ---- Task enumeration --------------------------------------------------------

// One slot of the task list: its key ("Task3") and the id it holds (empty
// for a free slot delivered below a positive last slot).
struct TaskSlot {
  std::u16string key;
  std::u16string id;

  std::string key_utf8() const { return detail::ToUtf8(key).value_or(std::string()); }
  std::string id_utf8() const { return detail::ToUtf8(id).value_or(std::string()); }
};

// The task list as a range: `for (const TaskSlot& slot : Tasks()) ...`. It
// opens the enumeration when made and closes its handle when destroyed; an
// empty list is an empty range. status() tells a failure to open apart from
// an empty list. Single pass, as the library's enumeration is.
class TaskRange {
 public:
  class iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = TaskSlot;
    using difference_type = std::ptrdiff_t;
    using pointer = const TaskSlot*;
    using reference = const TaskSlot&;

    iterator() = default;
    reference operator*() const { return range_->current_; }
    pointer operator->() const { return &range_->current_; }
    iterator& operator++() {
      if (!range_->Advance()) range_ = nullptr;
      return *this;
    }
    void operator++(int) { ++*this; }
    friend bool operator==(const iterator& a, const iterator& b) { return a.range_ == b.range_; }
    friend bool operator!=(const iterator& a, const iterator& b) { return a.range_ != b.range_; }

   private:
    friend class TaskRange;
    explicit iterator(TaskRange* range) : range_(range) {}
    TaskRange* range_ = nullptr;
  };

  // `last_slot` as for orxGetNextTask: 0 walks to the first free slot, a
  // positive number delivers every slot up to it.
  explicit TaskRange(int32_t last_slot = 0) : last_slot_(last_slot), state_(new State) {
    const Status status(orxGetFirstTask(&state_->query, detail::C(state_->id), kIdCapacity,
                                        detail::C(state_->key), kKeyCapacity));
    if (status.code() == Status::kNoMoreItems) return;
    status_ = status;
    if (status) {
      has_current_ = true;
      Capture();
    }
  }
  ~TaskRange() {
    if (state_ && state_->query != nullptr) orxCloseQuery(state_->query);
  }
  TaskRange(TaskRange&&) noexcept = default;
  TaskRange& operator=(TaskRange&& other) noexcept {
    if (this != &other) {
      if (state_ && state_->query != nullptr) orxCloseQuery(state_->query);
      last_slot_ = other.last_slot_;
      status_ = other.status_;
      has_current_ = other.has_current_;
      current_ = std::move(other.current_);
      state_ = std::move(other.state_);
    }
    return *this;
  }
  TaskRange(const TaskRange&) = delete;
  TaskRange& operator=(const TaskRange&) = delete;

  Status status() const { return status_; }
  iterator begin() { return iterator(has_current_ ? this : nullptr); }
  iterator end() { return iterator(); }

 private:
  static constexpr uint32_t kIdCapacity = 1024;
  static constexpr uint32_t kKeyCapacity = 32;

  // The buffers the handle points at stay where they are when the range
  // moves.
  struct State {
    orxQuery query = nullptr;
    char16_t id[kIdCapacity] = {};
    char16_t key[kKeyCapacity] = {};
  };

  void Capture() {
    current_.id.assign(state_->id);
    const std::u16string_view key(state_->key, kKeyCapacity);
    current_.key.assign(key.substr(0, key.find(u'\0')));
  }

  bool Advance() {
    const Status status(orxGetNextTask(state_->query, last_slot_));
    has_current_ = status.ok();
    if (!has_current_) {
      if (status.code() != Status::kNoMoreItems) status_ = status;
      return false;
    }
    Capture();
    return true;
  }

  int32_t last_slot_;
  Status status_;
  bool has_current_ = false;
  TaskSlot current_;
  std::unique_ptr<State> state_;
};

inline TaskRange Tasks(int32_t last_slot = 0) { return TaskRange(last_slot); }

#undef ORX_PROPERTY_HPP_U16_OR_RETURN

}  // namespace orx::property

#endif  // ORX_PROPERTY_HPP_
