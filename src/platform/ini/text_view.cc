// The copies and comparisons of text views.
#include "platform/ini/text_view.h"

#include <cstring>

#include "base/utf.h"  // EncodePath, for printing

namespace orx::platform::ini {

void TextView::CopyTo(char16_t* out) const { CopyTo(out, size_); }

std::u16string TextView::ToU16() const {
  std::u16string out;
  AppendTo(out);
  return out;
}

void TextView::AppendTo(std::u16string& out) const {
  const size_t at = out.size();
  out.resize(at + size_);
  CopyTo(out.data() + at);
}

bool operator==(TextView a, TextView b) {
  if (a.size_ != b.size_) return false;
  if (a.wide_ == b.wide_) {
    const size_t unit = a.wide_ ? sizeof(char16_t) : 1;
    return a.size_ == 0 || std::memcmp(a.data_, b.data_, a.size_ * unit) == 0;
  }
  const TextView& wide = a.wide_ ? a : b;
  const TextView& ascii = a.wide_ ? b : a;
  const char16_t* w = static_cast<const char16_t*>(wide.data_);
  const auto* n = static_cast<const unsigned char*>(ascii.data_);
  for (size_t i = 0; i < a.size_; ++i) {
    if (w[i] != n[i]) return false;
  }
  return true;
}

void PrintTo(TextView text, std::ostream* out) {
  std::u16string units = text.ToU16();
  *out << '"' << EncodePath(units) << '"';
}

}  // namespace orx::platform::ini
