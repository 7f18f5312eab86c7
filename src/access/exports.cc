// The twelve property exports: argument checks and out-value clearing, then
// one call of ReadPropertyValue or WritePropertyValue.
#include "access/decimal.h"
#include "access/property_value.h"
#include "catalogue/property_id.h"
#include "frame/abi_text.h"
#include "frame/export_guard.h"
#include "orxProperty.h"

namespace {

using orx::Status;
using orx::access::kIntegerReadCapacity;
using orx::access::ReadPropertyValue;
using orx::access::WritePropertyValue;
using orx::catalogue::IsInProviderRange;
using orx::frame::Internal;

// The provider exports pass the name on only for provider settings.
const char16_t* ProviderFor(uint32_t id, const orxChar* provider) {
  return IsInProviderRange(id) ? Internal(provider) : nullptr;
}

// The integer reads: `*value` is 0 unless the read succeeds, and a value
// longer than the local buffer converts by its first 99 units.
Status ReadInteger(uint32_t id, const char16_t* task, const char16_t* provider, int32_t* value) {
  char16_t text[kIntegerReadCapacity];
  const Status status = ReadPropertyValue(id, task, provider, text, kIntegerReadCapacity);
  text[kIntegerReadCapacity - 1] = u'\0';
  *value = orx::access::ParseDecimal(text).value;
  return status;
}

Status WriteInteger(uint32_t id, const char16_t* task, const char16_t* provider, int32_t value) {
  char16_t text[orx::access::kDecimalCapacity];
  orx::access::FormatDecimal(value, text);
  return WritePropertyValue(id, task, provider, text);
}

}  // namespace

extern "C" {

ORX_API int32_t ORX_CALL orxGetProperty(uint32_t id, orxChar* buffer, uint32_t size) {
  return orx::frame::GuardExport(
      [&] { return ReadPropertyValue(id, nullptr, nullptr, Internal(buffer), size); });
}

ORX_API int32_t ORX_CALL orxGetPropertyInt(uint32_t id, int32_t* value) {
  return orx::frame::GuardExport([&] {
    if (value == nullptr) return Status::kInvalidParameter;
    *value = 0;
    return ReadInteger(id, nullptr, nullptr, value);
  });
}

ORX_API int32_t ORX_CALL orxGetTaskProperty(const orxChar* task, uint32_t id, orxChar* buffer,
                                            uint32_t size) {
  return orx::frame::GuardExport(
      [&] { return ReadPropertyValue(id, Internal(task), nullptr, Internal(buffer), size); });
}

ORX_API int32_t ORX_CALL orxGetTaskPropertyInt(const orxChar* task, uint32_t id, int32_t* value) {
  return orx::frame::GuardExport([&] {
    if (value == nullptr) return Status::kInvalidParameter;
    *value = 0;
    return ReadInteger(id, Internal(task), nullptr, value);
  });
}

ORX_API int32_t ORX_CALL orxGetProviderProperty(const orxChar* provider, uint32_t id,
                                                orxChar* buffer, uint32_t size) {
  return orx::frame::GuardExport([&] {
    if (buffer != nullptr) buffer[0] = u'\0';
    if (provider == nullptr && IsInProviderRange(id)) return Status::kInvalidParameter;
    return ReadPropertyValue(id, nullptr, ProviderFor(id, provider), Internal(buffer), size);
  });
}

ORX_API int32_t ORX_CALL orxGetProviderPropertyInt(const orxChar* provider, uint32_t id,
                                                   int32_t* value) {
  return orx::frame::GuardExport([&] {
    if (value == nullptr) return Status::kInvalidParameter;
    *value = 0;
    if (provider == nullptr && IsInProviderRange(id)) return Status::kInvalidParameter;
    return ReadInteger(id, nullptr, ProviderFor(id, provider), value);
  });
}

ORX_API int32_t ORX_CALL orxSetProperty(uint32_t id, const orxChar* value) {
  return orx::frame::GuardExport(
      [&] { return WritePropertyValue(id, nullptr, nullptr, Internal(value)); });
}

ORX_API int32_t ORX_CALL orxSetPropertyInt(uint32_t id, int32_t value) {
  return orx::frame::GuardExport([&] { return WriteInteger(id, nullptr, nullptr, value); });
}

ORX_API int32_t ORX_CALL orxSetTaskProperty(const orxChar* task, uint32_t id,
                                            const orxChar* value) {
  return orx::frame::GuardExport(
      [&] { return WritePropertyValue(id, Internal(task), nullptr, Internal(value)); });
}

ORX_API int32_t ORX_CALL orxSetTaskPropertyInt(const orxChar* task, uint32_t id, int32_t value) {
  return orx::frame::GuardExport([&] { return WriteInteger(id, Internal(task), nullptr, value); });
}

ORX_API int32_t ORX_CALL orxSetProviderProperty(const orxChar* provider, uint32_t id,
                                                const orxChar* value) {
  return orx::frame::GuardExport([&] {
    if (provider == nullptr && IsInProviderRange(id)) return Status::kInvalidParameter;
    return WritePropertyValue(id, nullptr, ProviderFor(id, provider), Internal(value));
  });
}

ORX_API int32_t ORX_CALL orxSetProviderPropertyInt(const orxChar* provider, uint32_t id,
                                                   int32_t value) {
  return orx::frame::GuardExport([&] {
    if (provider == nullptr && IsInProviderRange(id)) return Status::kInvalidParameter;
    return WriteInteger(id, nullptr, ProviderFor(id, provider), value);
  });
}

}  // extern "C"
