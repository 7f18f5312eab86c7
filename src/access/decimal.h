// Integers as decimal text, the way settings store them: written in base 10
// with a leading '-' for negatives, read back with the usual decimal
// conversion (leading white space, one optional sign, digits up to the first
// other character, 0 when there are none).
#ifndef ORX_ACCESS_DECIMAL_H_
#define ORX_ACCESS_DECIMAL_H_

#include <cstdint>

namespace orx::access {

struct ParsedDecimal {
  int32_t value;  // saturated at the 32-bit bounds
  bool overflow;  // the digits named a number outside the 32-bit range
};

// Converts the text at `text` (zero-terminated). Never fails.
ParsedDecimal ParseDecimal(const char16_t* text);

// The longest text, "-2147483648", has 11 units and its terminator.
inline constexpr int kDecimalCapacity = 12;

// Writes the decimal text of `value` and its terminator into `text`.
void FormatDecimal(int32_t value, char16_t (&text)[kDecimalCapacity]);

}  // namespace orx::access

#endif  // ORX_ACCESS_DECIMAL_H_
