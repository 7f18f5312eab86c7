// Comparing bytes with a document's serialisation without building it: the
// store checks a cached document against the file it may have come from,
// and holding a second copy of a file of several megabytes only for that
// would double what the cache costs. The text is encoded a chunk at a time,
// as the candidate bytes arrive, and compared as it goes.
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

// Compares a candidate, handed over in pieces, with what Document::ToBytes
// would give. The document must outlive the matcher and stay unedited while
// it is in use.
class SerialisationMatcher {
 public:
  explicit SerialisationMatcher(const Document& document,
                                size_t chunk_units = kSerialisationChunkUnits);

  // Compares `bytes`, the candidate's next bytes. False as soon as a byte
  // differs or the candidate runs past the serialisation, and from then on.
  bool Feed(std::string_view bytes);

  // True when every byte fed matched and the serialisation has no more.
  bool Matched();

 private:
  // Encodes the next piece of the serialisation into `pending_`; false when
  // nothing is left or the text cannot be encoded (then `differs_` is set).
  bool Refill();

  const Document::Impl& impl_;
  const size_t chunk_units_;
  size_t next_unit_ = 0;     // the first unit of text not yet encoded
  bool started_ = false;     // the first chunk, with the BOM, is encoded
  bool stray_done_ = false;  // the odd byte of a UTF-16 file, if any, is out
  bool differs_ = false;
  size_t bom_size_ = 0;
  std::string pending_;  // encoded and not yet compared from `pending_at_` on
  size_t pending_at_ = 0;
};

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_SERIALISATION_MATCH_H_
