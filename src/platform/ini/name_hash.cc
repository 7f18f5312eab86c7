// SipHash-1-3 over case-folded names: one compression round per word of four
// UTF-16 units and three to finish, keyed with 128 random bits drawn once per
// process. It is fast enough for short names and, unlike an unkeyed mix,
// cannot be inverted by someone who does not know the key.
#include "platform/ini/name_hash.h"

#include <bit>
#include <random>
#include <type_traits>

#include "platform/ini/case_fold.h"

namespace orx::platform::ini {
namespace {

struct HashKey {
  uint64_t k0;
  uint64_t k1;
};

HashKey DrawKey() {
  std::random_device device;
  HashKey key{};
  for (int i = 0; i < 2; ++i) {
    key.k0 = key.k0 << 32 | device();
    key.k1 = key.k1 << 32 | device();
  }
  return key;
}

// Drawn on first use; the initialisation of a function-local static is
// thread-safe, and the key never changes afterwards.
const HashKey& ProcessKey() {
  static const HashKey key = DrawKey();
  return key;
}

class SipHash13 {
 public:
  explicit SipHash13(const HashKey& key)
      : v0_(key.k0 ^ 0x736F6D6570736575u),
        v1_(key.k1 ^ 0x646F72616E646F6Du),
        v2_(key.k0 ^ 0x6C7967656E657261u),
        v3_(key.k1 ^ 0x7465646279746573u) {}

  void Add(uint64_t word) {
    v3_ ^= word;
    Round();
    v0_ ^= word;
  }

  uint64_t Finish(uint64_t length) {
    Add(length << 56);
    v2_ ^= 0xFF;
    Round();
    Round();
    Round();
    return v0_ ^ v1_ ^ v2_ ^ v3_;
  }

 private:
  void Round() {
    v0_ += v1_;
    v1_ = std::rotl(v1_, 13) ^ v0_;
    v0_ = std::rotl(v0_, 32);
    v2_ += v3_;
    v3_ = std::rotl(v3_, 16) ^ v2_;
    v0_ += v3_;
    v3_ = std::rotl(v3_, 21) ^ v0_;
    v2_ += v1_;
    v1_ = std::rotl(v1_, 17) ^ v2_;
    v2_ = std::rotl(v2_, 32);
  }

  uint64_t v0_, v1_, v2_, v3_;
};

// The four units of `name` at `at` as UTF-16.
inline const char16_t* WordAt(std::u16string_view name, size_t at, char16_t*) {
  return name.data() + at;
}
inline const char16_t* WordAt(std::string_view name, size_t at, char16_t* word) {
  for (size_t j = 0; j < 4; ++j) word[j] = static_cast<unsigned char>(name[at + j]);
  return word;
}

// The folded words of `name`, then its length; a word is four units, so
// bytes are widened four at a time.
template <typename Unit>
uint64_t HashName(std::basic_string_view<Unit> name) {
  SipHash13 hash(ProcessKey());
  size_t i = 0;
  char16_t word[4];
  for (; i + 4 <= name.size(); i += 4) hash.Add(FoldCaseWord(WordAt(name, i, word)));
  if (i < name.size()) {
    char16_t tail[4] = {};
    for (size_t j = 0; i + j < name.size(); ++j)
      tail[j] = static_cast<std::make_unsigned_t<Unit>>(name[i + j]);
    hash.Add(FoldCaseWord(tail));
  }
  return hash.Finish(name.size());
}

}  // namespace

uint32_t NameHash(std::u16string_view name) { return static_cast<uint32_t>(HashName(name)); }
uint32_t NameHash(std::string_view ascii_name) {
  return static_cast<uint32_t>(HashName(ascii_name));
}

uint32_t KeyHash(std::u16string_view name, uint32_t section) {
  return WithSection(NameHash(name), section);
}

uint32_t WithSection(uint32_t name_hash, uint32_t section) {
  // Multiplying by an odd constant spreads consecutive ordinals over the
  // whole word; the key keeps the spread unknown outside the process.
  const uint64_t spread = (uint64_t{section} ^ ProcessKey().k1) * 0x9E3779B97F4A7C15u;
  return name_hash ^ static_cast<uint32_t>(spread >> 32);
}

}  // namespace orx::platform::ini
