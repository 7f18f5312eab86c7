// The chunked serialisation of a document and the comparison built on it.
// Each chunk goes through the one Encode every serialisation uses, so the
// chunks can only differ from ToBytes if encoding a chunk differed from
// encoding the whole text: chunks never split a surrogate pair, and every
// encoding here maps each code point on its own (the stray bytes of a UTF-8
// file, U+DC80..U+DCFF, included), so they do not.
#include "platform/ini/serialisation_match.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "base/utf.h"
#include "platform/ini/document_impl.h"

namespace orx::platform::ini {

SerialisationReader::SerialisationReader(const Document& document, size_t chunk_units)
    : impl_(*document.impl_), chunk_units_(std::max<size_t>(chunk_units, 1)) {
  // Every chunk is encoded with its BOM; the BOM is the encoding of nothing.
  const std::optional<std::string> bom = Encode(u"", impl_.encoding, *impl_.rules);
  bom_size_ = bom ? bom->size() : 0;
}

bool SerialisationReader::Refill() {
  chunk_.clear();
  piece_ = {};
  if (impl_.ascii_form) {
    // The bytes are the text itself: the BOM, then views of the text.
    if (!started_) {
      started_ = true;
      if (impl_.encoding == Encoding::kUtf8Bom) chunk_ = *Encode(u"", impl_.encoding, *impl_.rules);
      piece_ = chunk_;
      return true;
    }
    if (next_unit_ >= impl_.ascii.size()) return false;
    piece_ = std::string_view(impl_.ascii).substr(next_unit_, chunk_units_);
    next_unit_ += piece_.size();
    return true;
  }
  const std::u16string_view text = impl_.text;
  if (!started_ || next_unit_ < text.size()) {
    size_t end = std::min(text.size(), next_unit_ + chunk_units_);
    if (end < text.size() && IsHighSurrogate(text[end - 1]) && IsLowSurrogate(text[end])) ++end;
    std::optional<std::string> encoded =
        Encode(text.substr(next_unit_, end - next_unit_), impl_.encoding, *impl_.rules);
    if (!encoded) {
      failed_ = true;
      return false;
    }
    chunk_ = std::move(*encoded);
    if (started_) chunk_.erase(0, std::min(bom_size_, chunk_.size()));
    started_ = true;
    next_unit_ = end;
    piece_ = chunk_;
    return true;
  }
  if (!stray_done_) {
    stray_done_ = true;
    if (impl_.stray_byte >= 0 && !impl_.changed) {
      chunk_.push_back(static_cast<char>(impl_.stray_byte));
      piece_ = chunk_;
      return true;
    }
  }
  return false;
}

size_t SerialisationReader::MatchAscii(std::string_view bytes) {
  const bool utf8 = impl_.encoding == Encoding::kUtf8 || impl_.encoding == Encoding::kUtf8Bom;
  // ASCII text is handed out as it is, and compared as it comes.
  if (!utf8 || impl_.ascii_form || (!started_ && bom_size_ != 0) || failed_) return 0;
  const std::u16string_view text = std::u16string_view(impl_.text).substr(next_unit_);
  const size_t limit = std::min(bytes.size(), text.size());
  const auto* byte = reinterpret_cast<const unsigned char*>(bytes.data());
  // A unit matches when it is ASCII and equal to its byte. Blocks are tested
  // without an early exit, which the compiler turns into vector code; the
  // block that fails is walked unit by unit.
  constexpr size_t kBlock = 32;
  size_t matched = 0;
  for (; matched + kBlock <= limit; matched += kBlock) {
    // 16-bit lanes: a wider accumulator would make the vector code widen
    // every unit first.
    char16_t differs = 0;
    for (size_t i = matched; i < matched + kBlock; ++i) {
      differs |= static_cast<char16_t>((text[i] ^ char16_t{byte[i]}) | (text[i] & 0xFF80u));
    }
    if (differs != 0) break;
  }
  while (matched < limit && text[matched] < 0x80 && text[matched] == byte[matched]) ++matched;
  if (matched > 0) {
    next_unit_ += matched;
    started_ = true;
  }
  return matched;
}

std::string_view SerialisationReader::Next() {
  // Empty pieces (the first chunk of an empty text without BOM) say
  // nothing; only the end gives an empty view.
  while (!failed_ && Refill()) {
    if (!piece_.empty()) return piece_;
  }
  return {};
}

bool SerialisationMatcher::Feed(std::string_view bytes) {
  while (!differs_ && !bytes.empty()) {
    if (pending_.empty()) {
      bytes.remove_prefix(reader_.MatchAscii(bytes));
      if (bytes.empty()) break;
      pending_ = reader_.Next();
    }
    if (pending_.empty()) {
      differs_ = true;  // the candidate is longer, or the text cannot be encoded
      break;
    }
    const size_t length = std::min(bytes.size(), pending_.size());
    if (std::memcmp(bytes.data(), pending_.data(), length) != 0) differs_ = true;
    pending_.remove_prefix(length);
    bytes.remove_prefix(length);
  }
  return !differs_;
}

bool SerialisationMatcher::Matched() {
  if (differs_ || !pending_.empty()) return false;
  return reader_.Next().empty() && !reader_.failed();
}

bool Document::SerialisesTo(std::string_view bytes) const {
  SerialisationMatcher matcher(*this);
  return matcher.Feed(bytes) && matcher.Matched();
}

}  // namespace orx::platform::ini
