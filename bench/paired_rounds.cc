// The statistics of paired rounds (paired_rounds.h).
#include "paired_rounds.h"

#include <algorithm>

namespace orx::bench {

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  const size_t middle = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + middle, values.end());
  if (values.size() % 2 == 1) return values[middle];
  const double upper = values[middle];
  return (*std::max_element(values.begin(), values.begin() + middle) + upper) / 2;
}

PairedFigures Summarise(const std::vector<double>& subject_us,
                        const std::vector<double>& floor_us) {
  const size_t rounds = std::min(subject_us.size(), floor_us.size());
  std::vector<double> ratios;
  ratios.reserve(rounds);
  for (size_t i = 0; i < rounds; ++i) {
    if (floor_us[i] > 0) ratios.push_back(subject_us[i] / floor_us[i]);
  }
  return {.subject_us = Median({subject_us.begin(), subject_us.begin() + rounds}),
          .floor_us = Median({floor_us.begin(), floor_us.begin() + rounds}),
          .ratio = Median(std::move(ratios)),
          .rounds = static_cast<int>(rounds)};
}

void PairedRounds::Publish(benchmark::State& state, const std::string& floor,
                           const std::string& prefix) const {
  const PairedFigures figures = Figures();
  state.counters[prefix + "us"] = figures.subject_us;
  state.counters[floor + "_us"] = figures.floor_us;
  state.counters[prefix + "ratio"] = figures.ratio;
  state.counters["rounds"] = figures.rounds;
}

}  // namespace orx::bench
