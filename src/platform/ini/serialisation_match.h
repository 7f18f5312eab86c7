// A document's serialisation a chunk at a time, and comparing bytes with it,
// without building it whole: the store checks a cached document against the
// file it may have come from and writes a document out, and a second copy of
// a file of several megabytes, even a passing one, would cost about as much
// as the cache itself (a freed buffer of that size tends to stay with the
// process). The text is encoded some tens of KB at a time; text kept as
// ASCII bytes is handed out as it is, in pieces of the same size.
#ifndef ORX_PLATFORM_INI_SERIALISATION_MATCH_H_
#define ORX_PLATFORM_INI_SERIALISATION_MATCH_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/ini/document.h"

namespace orx::platform::ini {

// Units of text encoded per step: some tens of KB of output, small enough to
// stay in the processor's cache beside the bytes compared with them.
inline constexpr size_t kSerialisationChunkUnits = 32 * 1024;

// Hands out what Document::ToBytes would give, in order, a chunk at a time.
// The document must outlive the reader and stay unedited while it is in use.
class SerialisationReader {
 public:
  explicit SerialisationReader(const Document& document,
                               size_t chunk_units = kSerialisationChunkUnits);

  // The next bytes, valid until the next call; empty once every byte was
  // handed out, or when the text cannot be encoded (see failed()).
  std::string_view Next();

  // Between chunks of a UTF-8 document: how many of `bytes` equal the next
  // units of text, all ASCII, which are then taken as handed out; 0 in any
  // other encoding, and for text kept as ASCII bytes, which Next hands out
  // as it is. Most settings text is ASCII, and comparing it in place
  // costs a fraction of encoding it first.
  size_t MatchAscii(std::string_view bytes);

  // True when the text could not be encoded in chunks. No document holds
  // such text (ToBytes asserts as much); callers treat it as a mismatch or
  // fall back to ToBytes.
  bool failed() const { return failed_; }

 private:
  // Encodes the next piece into `chunk_`; false when nothing is left.
  bool Refill();

  const Document::Impl& impl_;
  const size_t chunk_units_;
  size_t next_unit_ = 0;     // the first unit of text not yet encoded
  bool started_ = false;     // the first chunk, with the BOM, is encoded
  bool stray_done_ = false;  // the odd byte of a UTF-16 file, if any, is out
  bool failed_ = false;
  size_t bom_size_ = 0;
  std::string chunk_;       // the encoded piece, when text must be encoded
  std::string_view piece_;  // what Next hands out: chunk_, or ASCII text as it is
};

// Compares a candidate, handed over in pieces, with the serialisation.
class SerialisationMatcher {
 public:
  explicit SerialisationMatcher(const Document& document,
                                size_t chunk_units = kSerialisationChunkUnits)
      : reader_(document, chunk_units) {}

  // Compares `bytes`, the candidate's next bytes. False as soon as a byte
  // differs or the candidate runs past the serialisation, and from then on.
  bool Feed(std::string_view bytes);

  // True when every byte fed matched and the serialisation has no more.
  bool Matched();

 private:
  SerialisationReader reader_;
  std::string_view pending_;  // handed out by the reader, not yet compared
  bool differs_ = false;
};

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_SERIALISATION_MATCH_H_
