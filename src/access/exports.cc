// The twelve property exports: argument checks and out-value clearing, then
// one call of ReadPropertyValue or WritePropertyValue.
#include "access/decimal.h"
#include "access/property_value.h"
#include "catalogue/property_id.h"
#include "frame/export_guard.h"
#include "orxProperty.h"

namespace {

using orx::Status;
using orx::access::kIntegerReadCapacity;
using orx::access::ReadPropertyValue;
using orx::access::WritePropertyValue;
using orx::catalogue::IsInProviderRange;

// The provider exports pass the name on only for provider settings.
const orxChar* ProviderFor(uint32_t id, const orxChar* provider) {
  return IsInProviderRange(id) ? provider : nullptr;
}

// The integer reads: `*value` is 0 unless the read succeeds, and a value
// longer than the local buffer converts by its first 99 units.
Status ReadInteger(uint32_t id, const orxChar* task, const orxChar* provider, int32_t* value) {
  char16_t text[kIntegerReadCapacity];
  const Status status = ReadPropertyValue(id, task, provider, text, kIntegerReadCapacity);
  text[kIntegerReadCapacity - 1] = u'\0';
  *value = orx::access::ParseDecimal(text).value;
  return status;
}

Status WriteInteger(uint32_t id, const orxChar* task, const orxChar* provider, int32_t value) {
  char16_t text[orx::access::kDecimalCapacity];
  orx::access::FormatDecimal(value, text);
  return WritePropertyValue(id, task, provider, text);
}

}  // namespace

extern "C" {

ORX_API int32_t orxGetProperty(uint32_t id, orxChar* buffer, uint32_t size) {
  return orx::frame::GuardExport(
      [&] { return ReadPropertyValue(id, nullptr, nullptr, buffer, size); });
}

ORX_API int32_t orxGetPropertyInt(uint32_t id, int32_t* value) {
  return orx::frame::GuardExport([&] {
    if (value == nullptr) return Status::kInvalidParameter;
    *value = 0;
    return ReadInteger(id, nullptr, nullptr, value);
  });
}

ORX_API int32_t orxGetTaskProperty(const orxChar* task, uint32_t id, orxChar* buffer,
                                   uint32_t size) {
  return orx::frame::GuardExport(
      [&] { return ReadPropertyValue(id, task, nullptr, buffer, size); });
}

ORX_API int32_t orxGetTaskPropertyInt(const orxChar* task, uint32_t id, int32_t* value) {
  return orx::frame::GuardExport([&] {
    if (value == nullptr) return Status::kInvalidParameter;
    *value = 0;
    return ReadInteger(id, task, nullptr, value);
  });
}

ORX_API int32_t orxGetProviderProperty(const orxChar* provider, uint32_t id, orxChar* buffer,
                                       uint32_t size) {
  return orx::frame::GuardExport([&] {
    if (buffer != nullptr) buffer[0] = u'\0';
    if (provider == nullptr && IsInProviderRange(id)) return Status::kInvalidParameter;
    return ReadPropertyValue(id, nullptr, ProviderFor(id, provider), buffer, size);
  });
}

ORX_API int32_t orxGetProviderPropertyInt(const orxChar* provider, uint32_t id, int32_t* value) {
  return orx::frame::GuardExport([&] {
    if (value == nullptr) return Status::kInvalidParameter;
    *value = 0;
    if (provider == nullptr && IsInProviderRange(id)) return Status::kInvalidParameter;
    return ReadInteger(id, nullptr, ProviderFor(id, provider), value);
  });
}

ORX_API int32_t orxSetProperty(uint32_t id, const orxChar* value) {
  return orx::frame::GuardExport([&] { return WritePropertyValue(id, nullptr, nullptr, value); });
}

ORX_API int32_t orxSetPropertyInt(uint32_t id, int32_t value) {
  return orx::frame::GuardExport([&] { return WriteInteger(id, nullptr, nullptr, value); });
}

ORX_API int32_t orxSetTaskProperty(const orxChar* task, uint32_t id, const orxChar* value) {
  return orx::frame::GuardExport([&] { return WritePropertyValue(id, task, nullptr, value); });
}

ORX_API int32_t orxSetTaskPropertyInt(const orxChar* task, uint32_t id, int32_t value) {
  return orx::frame::GuardExport([&] { return WriteInteger(id, task, nullptr, value); });
}

ORX_API int32_t orxSetProviderProperty(const orxChar* provider, uint32_t id, const orxChar* value) {
  return orx::frame::GuardExport([&] {
    if (provider == nullptr && IsInProviderRange(id)) return Status::kInvalidParameter;
    return WritePropertyValue(id, nullptr, ProviderFor(id, provider), value);
  });
}

ORX_API int32_t orxSetProviderPropertyInt(const orxChar* provider, uint32_t id, int32_t value) {
  return orx::frame::GuardExport([&] {
    if (provider == nullptr && IsInProviderRange(id)) return Status::kInvalidParameter;
    return WriteInteger(id, nullptr, ProviderFor(id, provider), value);
  });
}

}  // extern "C"
