// The hashes behind the engine's name indexes. They are keyed with a random
// key drawn once per process, so no file can be written whose names all land
// on one hash: with a fixed function, crafted names made every insertion
// probe past all earlier ones and a parse cost time quadratic in the file.
// A hash is only meaningful within the process that computed it.
#ifndef ORX_PLATFORM_INI_NAME_HASH_H_
#define ORX_PLATFORM_INI_NAME_HASH_H_

#include <cstdint>
#include <string_view>

namespace orx::platform::ini {

// A hash of `name` that is equal for names EqualsIgnoreCase calls equal.
uint32_t NameHash(std::u16string_view name);
// The same hash for a name kept as ASCII bytes: each byte is hashed as the
// unit of its value, so a name hashes alike in either form of text.
uint32_t NameHash(std::string_view ascii_name);

// The hash of a key: of its name and its section's ordinal together, so
// equal keys of different sections spread over the index too.
uint32_t KeyHash(std::u16string_view name, uint32_t section);

// KeyHash from the NameHash of the key's name: a parse that meets the same
// key names in section after section hashes each name once.
uint32_t WithSection(uint32_t name_hash, uint32_t section);

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_NAME_HASH_H_
