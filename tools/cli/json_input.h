// JSON read from files or standard input, refused before it is built when it
// could hurt: nesting deeper than a small bound (a deep document would
// exhaust the stack of any recursive walk) and strings holding NUL (which
// would cut a value where the library reads it).
#ifndef ORX_TOOLS_CLI_JSON_INPUT_H_
#define ORX_TOOLS_CLI_JSON_INPUT_H_

#include <optional>
#include <string>

#include "output.h"

namespace orx::cli {

// Deeper nesting than any dump holds, far below what a stack can take.
inline constexpr size_t kMaxJsonDepth = 32;

// Parses `text`; nullopt with `error` set for malformed JSON, nesting past
// kMaxJsonDepth or a NUL in a string or key.
std::optional<Json> ParseJsonInput(const std::string& text, std::string& error);

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_JSON_INPUT_H_
