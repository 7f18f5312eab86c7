// Case folding beyond ASCII through the generated two-level table (see
// scripts/gen_case_fold.py, which writes case_fold_table.inc from the Unicode
// character database).
#include "platform/ini/case_fold.h"

namespace orx::platform::ini {
namespace {
#include "platform/ini/case_fold_table.inc"
}  // namespace

namespace detail {

char16_t FoldCaseBeyondAscii(char16_t unit) {
  const unsigned block = kCaseFoldBlock[unit >> kCaseFoldShift];
  return static_cast<char16_t>(unit + kCaseFoldDelta[block][unit & kCaseFoldMask]);
}

}  // namespace detail

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  size_t i = 0;
  for (; i + 4 <= a.size(); i += 4) {
    if (std::memcmp(a.data() + i, b.data() + i, 4 * sizeof(char16_t)) != 0 &&
        FoldCaseWord(a.data() + i) != FoldCaseWord(b.data() + i)) {
      return false;
    }
  }
  for (; i < a.size(); ++i) {
    if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

bool EqualsIgnoreCaseText(TextView a, TextView b) {
  if (a.wide() && b.wide()) return EqualsIgnoreCase(a.wide_units(), b.wide_units());
  if (a.size() != b.size()) return false;
  if (!a.wide() && !b.wide()) {
    const std::string_view left = a.ascii_units();
    const std::string_view right = b.ascii_units();
    for (size_t i = 0; i < left.size(); ++i) {
      if (left[i] != right[i] && FoldCase(static_cast<unsigned char>(left[i])) !=
                                     FoldCase(static_cast<unsigned char>(right[i]))) {
        return false;
      }
    }
    return true;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

}  // namespace orx::platform::ini
