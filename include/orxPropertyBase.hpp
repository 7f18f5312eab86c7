// orxPropertyBase.hpp: the vocabulary of the C++ wrapper orxProperty.hpp (a
// status, a result carrying a value, and the UTF-8 and UTF-16 conversions it
// applies at the boundary). Included by orxProperty.hpp; it needs nothing but
// the C header.
#ifndef ORX_PROPERTY_BASE_HPP_
#define ORX_PROPERTY_BASE_HPP_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "orxProperty.h"

namespace orx::property {

static_assert(sizeof(orxChar) == sizeof(char16_t), "orxChar is one UTF-16 code unit");

// A status the library returned: 0 on success, else a Win32 error number.
class Status {
 public:
  static constexpr int32_t kSuccess = ORX_STATUS_SUCCESS;
  static constexpr int32_t kNotEnoughMemory = ORX_STATUS_NOT_ENOUGH_MEMORY;
  static constexpr int32_t kInvalidParameter = ORX_STATUS_INVALID_PARAMETER;
  static constexpr int32_t kInsufficientBuffer = ORX_STATUS_INSUFFICIENT_BUFFER;
  static constexpr int32_t kNoMoreItems = ORX_STATUS_NO_MORE_ITEMS;
  static constexpr int32_t kFilenameExcedRange = ORX_STATUS_FILENAME_EXCED_RANGE;
  static constexpr int32_t kNoUnicodeTranslation = 1113;

  constexpr Status() = default;
  constexpr explicit Status(int32_t code) : code_(code) {}

  constexpr bool ok() const { return code_ == kSuccess; }
  constexpr explicit operator bool() const { return ok(); }
  constexpr int32_t code() const { return code_; }

  // The Win32 name of the statuses the library produces itself, else "".
  constexpr const char* name() const {
    switch (code_) {
      case kSuccess:
        return "ERROR_SUCCESS";
      case 2:
        return "ERROR_FILE_NOT_FOUND";
      case 3:
        return "ERROR_PATH_NOT_FOUND";
      case 5:
        return "ERROR_ACCESS_DENIED";
      case kNotEnoughMemory:
        return "ERROR_NOT_ENOUGH_MEMORY";
      case kInvalidParameter:
        return "ERROR_INVALID_PARAMETER";
      case 112:
        return "ERROR_DISK_FULL";
      case kInsufficientBuffer:
        return "ERROR_INSUFFICIENT_BUFFER";
      case kFilenameExcedRange:
        return "ERROR_FILENAME_EXCED_RANGE";
      case kNoMoreItems:
        return "ERROR_NO_MORE_ITEMS";
      case kNoUnicodeTranslation:
        return "ERROR_NO_UNICODE_TRANSLATION";
      default:
        return "";
    }
  }

  friend constexpr bool operator==(Status a, Status b) { return a.code_ == b.code_; }
  friend constexpr bool operator!=(Status a, Status b) { return a.code_ != b.code_; }

 private:
  int32_t code_ = kSuccess;
};

// A Status and, when it is ok(), a value.
template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: success converts implicitly
  Result(Status status) : status_(status) {}     // NOLINT: so does a failure

  bool ok() const { return status_.ok(); }
  explicit operator bool() const { return ok(); }
  Status status() const { return status_; }

  // Only when ok().
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  const T& operator*() const& { return *value_; }
  T&& operator*() && { return std::move(*value_); }
  const T* operator->() const { return &*value_; }

  T value_or(T fallback) const& { return ok() ? *value_ : std::move(fallback); }

 private:
  Status status_;
  std::optional<T> value_;
};

namespace detail {

// UTF-8 to UTF-16; nullopt for bytes that are not well-formed UTF-8
// (overlong forms, surrogates and values above U+10FFFF included).
inline std::optional<std::u16string> ToU16(std::string_view in) {
  std::u16string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size();) {
    const auto lead = static_cast<unsigned char>(in[i]);
    size_t length = lead < 0x80           ? 1
                    : (lead >> 5) == 0x6  ? 2
                    : (lead >> 4) == 0xE  ? 3
                    : (lead >> 3) == 0x1E ? 4
                                          : 0;
    if (length == 0 || i + length > in.size()) return std::nullopt;
    uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(in[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      code = (code << 6) | (next & 0x3F);
    }
    static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return std::nullopt;
    }
    if (code >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += length;
  }
  return out;
}

// UTF-16 to UTF-8; nullopt for a lone surrogate.
inline std::optional<std::string> ToUtf8(std::u16string_view in) {
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    uint32_t code = in[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
        in[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (in[++i] - 0xDC00);
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      return std::nullopt;
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

}  // namespace detail

}  // namespace orx::property

#endif  // ORX_PROPERTY_BASE_HPP_
