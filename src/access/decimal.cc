#include "access/decimal.h"

namespace orx::access {
namespace {

// The white space the C library's conversion skips.
bool IsSpace(char16_t unit) { return unit == u' ' || (unit >= u'\t' && unit <= u'\r'); }

}  // namespace

ParsedDecimal ParseDecimal(const char16_t* text) {
  while (IsSpace(*text)) ++text;
  bool negative = false;
  if (*text == u'+' || *text == u'-') negative = *text++ == u'-';
  // Accumulate the magnitude in 64 bits and stop growing it once it has
  // passed the range, so any number of digits is safe.
  constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;
  int64_t magnitude = 0;
  for (; *text >= u'0' && *text <= u'9'; ++text) {
    if (magnitude <= kLimit) magnitude = magnitude * 10 + (*text - u'0');
  }
  if (negative) {
    if (magnitude > kLimit) return {INT32_MIN, true};
    return {static_cast<int32_t>(-magnitude), false};
  }
  if (magnitude > INT32_MAX) return {INT32_MAX, true};
  return {static_cast<int32_t>(magnitude), false};
}

void FormatDecimal(int32_t value, char16_t (&text)[kDecimalCapacity]) {
  char16_t digits[kDecimalCapacity];
  int count = 0;
  // Work on the negative magnitude so that INT32_MIN needs no special case.
  int64_t rest = value < 0 ? value : -int64_t{value};
  do {
    digits[count++] = static_cast<char16_t>(u'0' - rest % 10);
    rest /= 10;
  } while (rest != 0);
  int length = 0;
  if (value < 0) text[length++] = u'-';
  while (count > 0) text[length++] = digits[--count];
  text[length] = u'\0';
}

}  // namespace orx::access
