// Result<T>: a value or the Status that explains why there is none. Used for
// return values inside the library; nothing here crosses the ABI.
#ifndef ORX_BASE_RESULT_H_
#define ORX_BASE_RESULT_H_

#include <cassert>
#include <optional>
#include <utility>

#include "base/status.h"

namespace orx {

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
  Result(Status status) : status_(status) {      // NOLINT: implicit by design
    assert(status != Status::kOk);
  }

  bool ok() const { return value_.has_value(); }
  Status status() const { return status_; }

  T& value() & { return *value_; }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }

 private:
  std::optional<T> value_;
  Status status_ = Status::kOk;
};

}  // namespace orx

#endif  // ORX_BASE_RESULT_H_
