// "Did you mean ...?": the known names closest to a mistyped one.
#ifndef ORX_TOOLS_CLI_SUGGEST_H_
#define ORX_TOOLS_CLI_SUGGEST_H_

#include <string>
#include <vector>

namespace orx::cli {

// Edits (insert, delete, change, swap of neighbours) between `a` and `b`,
// ignoring ASCII letter case.
size_t EditDistance(const std::string& a, const std::string& b);

// The candidates nearest to `typed`, at most `limit`, only those within a
// distance that leaves the word recognisable; empty when none is close.
std::vector<std::string> Closest(const std::string& typed, const std::vector<std::string>& known,
                                 size_t limit = 3);

// " (did you mean get?)" or " (did you mean a, b or c?)"; empty for none.
std::string DidYouMean(const std::vector<std::string>& candidates);

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_SUGGEST_H_
