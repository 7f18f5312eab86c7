// The chunked comparison of bytes with a document's serialisation. Each
// chunk goes through the one Encode every serialisation uses, so the two can
// only disagree if encoding a chunk differed from encoding the whole text:
// chunks never split a surrogate pair, and every encoding here maps each
// code point on its own (the stray bytes of a UTF-8 file, U+DC80..U+DCFF,
// included), so they do not.
#include "platform/ini/serialisation_match.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "base/utf.h"
#include "platform/ini/document_impl.h"

namespace orx::platform::ini {

SerialisationMatcher::SerialisationMatcher(const Document& document, size_t chunk_units)
    : impl_(*document.impl_), chunk_units_(std::max<size_t>(chunk_units, 1)) {
  // Every chunk is encoded with its BOM; the BOM is the encoding of nothing.
  const std::optional<std::string> bom = Encode(u"", impl_.encoding, *impl_.rules);
  bom_size_ = bom ? bom->size() : 0;
}

bool SerialisationMatcher::Refill() {
  pending_.clear();
  pending_at_ = 0;
  const std::u16string_view text = impl_.text;
  if (!started_ || next_unit_ < text.size()) {
    size_t end = std::min(text.size(), next_unit_ + chunk_units_);
    if (end < text.size() && IsHighSurrogate(text[end - 1]) && IsLowSurrogate(text[end])) ++end;
    std::optional<std::string> encoded =
        Encode(text.substr(next_unit_, end - next_unit_), impl_.encoding, *impl_.rules);
    // No document holds text its encoding cannot take (ToBytes asserts as
    // much); should one, it matches nothing, which only costs a re-read.
    if (!encoded) {
      differs_ = true;
      return false;
    }
    pending_ = std::move(*encoded);
    pending_at_ = started_ ? std::min(bom_size_, pending_.size()) : 0;
    started_ = true;
    next_unit_ = end;
    return true;
  }
  if (!stray_done_) {
    stray_done_ = true;
    if (impl_.stray_byte >= 0 && !impl_.changed) {
      pending_.push_back(static_cast<char>(impl_.stray_byte));
      return true;
    }
  }
  return false;
}

bool SerialisationMatcher::Feed(std::string_view bytes) {
  while (!differs_ && !bytes.empty()) {
    if (pending_at_ == pending_.size() && !Refill()) {
      differs_ = true;  // the candidate is longer
      break;
    }
    const size_t length = std::min(bytes.size(), pending_.size() - pending_at_);
    if (std::memcmp(bytes.data(), pending_.data() + pending_at_, length) != 0) differs_ = true;
    pending_at_ += length;
    bytes.remove_prefix(length);
  }
  return !differs_;
}

bool SerialisationMatcher::Matched() {
  if (differs_) return false;
  // Empty pieces (the first chunk of an empty text without BOM) say nothing
  // about what follows them.
  while (pending_at_ == pending_.size()) {
    if (!Refill()) return !differs_;
  }
  return false;
}

bool Document::SerialisesTo(std::string_view bytes) const {
  SerialisationMatcher matcher(*this);
  return matcher.Feed(bytes) && matcher.Matched();
}

}  // namespace orx::platform::ini
