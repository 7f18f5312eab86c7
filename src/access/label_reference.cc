// The string loads here go through the frame's LoadStringW shape: at most
// size-1 units and a terminator, the count copied, 0 for a missing or empty
// string. The language module is asked for anew at every load, so a module
// changed between two loads takes effect at once.
#include "access/label_reference.h"

#include <string_view>

#include "access/decimal.h"
#include "base/caller_buffer.h"
#include "catalogue/property_names.h"
#include "frame/strings.h"

namespace orx::access {
bool MayHoldLabelReference(catalogue::PropertyId id) {
  return id == catalogue::kTaskLabel || id == catalogue::kTaskComment;
}

namespace detail {

void ExpandOrCopyLabel(const char16_t* stored, char16_t* buffer, uint32_t size) {
  if (size == 0) return;
  if (stored[0] == u'*' && stored[1] == u'@') {
    const ParsedDecimal number = ParseDecimal(stored + 2);
    const auto id = static_cast<uint32_t>(number.value);
    // Probe first, so that a number naming no string leaves the stored text
    // instead of an empty one.
    char16_t probe[2];
    if (!number.overflow && number.value >= 0 &&
        frame::LoadStringW(frame::basGetBaseLang(), id, probe, 2) != 0) {
      frame::LoadStringW(frame::basGetBaseLang(), id, buffer, size);
      return;
    }
  }
  if (stored == buffer) return;
  CopyTerminated(stored, buffer, size);
}

}  // namespace detail

bool FindLabelReference(const char16_t* value, char16_t (&reference)[kLabelReferenceCapacity]) {
  const std::u16string_view text(value);
  char16_t candidate[kLabelStringCapacity];
  for (int64_t n = kFirstLabelString; n <= INT32_MAX; ++n) {
    candidate[0] = u'\0';
    const int32_t copied = frame::LoadStringW(frame::basGetBaseLang(), static_cast<uint32_t>(n),
                                              candidate, kLabelStringCapacity);
    if (candidate[0] == u'\0' || copied == 0) return false;
    if (text == std::u16string_view(candidate)) {
      char16_t digits[kDecimalCapacity];
      FormatDecimal(static_cast<int32_t>(n), digits);
      reference[0] = u'*';
      reference[1] = u'@';
      std::u16string_view(digits).copy(reference + 2, kDecimalCapacity);
      reference[2 + std::u16string_view(digits).size()] = u'\0';
      return true;
    }
  }
  return false;
}

}  // namespace orx::access
