// Suggestions by edit distance, the way version-control tools suggest verbs.
#include "suggest.h"

#include <algorithm>
#include <cctype>

namespace orx::cli {

size_t EditDistance(const std::string& a, const std::string& b) {
  const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t change = lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) &&
          lower(a[i - 2]) == lower(b[j - 1])) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

std::vector<std::string> Closest(const std::string& typed, const std::vector<std::string>& known,
                                 size_t limit) {
  // Up to a third of the word may be wrong, and always at least one edit.
  const size_t allowed = std::max<size_t>(1, typed.size() / 3);
  std::vector<std::pair<size_t, std::string>> ranked;
  for (const std::string& name : known) {
    const size_t distance = EditDistance(typed, name);
    if (distance <= allowed) ranked.emplace_back(distance, name);
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<std::string> out;
  for (const auto& [distance, name] : ranked) {
    if (out.size() == limit) break;
    if (std::find(out.begin(), out.end(), name) == out.end()) out.push_back(name);
  }
  return out;
}

std::string DidYouMean(const std::vector<std::string>& candidates) {
  if (candidates.empty()) return "";
  std::string text = " (did you mean ";
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (i > 0) text += i + 1 == candidates.size() ? " or " : ", ";
    text += candidates[i];
  }
  return text + "?)";
}

}  // namespace orx::cli
