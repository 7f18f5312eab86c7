// Two operations timed in the same rounds: every ratio a benchmark reports
// comes from here. A disk's flush latency and a shared machine's load drift
// by several times within one run, so a floor measured in another
// benchmark, or even earlier in the same one, can make an operation look
// cheaper than the system calls it contains. Each round times the subject
// and its floor back to back, alternating which goes first, and the figure
// is the median of the per-round ratios; the medians of both sides are kept
// beside it for the record.
#ifndef ORX_BENCH_PAIRED_ROUNDS_H_
#define ORX_BENCH_PAIRED_ROUNDS_H_

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

namespace orx::bench {

// Medians of a paired measurement, per call, in microseconds.
struct PairedFigures {
  double subject_us = 0;
  double floor_us = 0;
  double ratio = 0;  // median of the per-round ratios, not subject_us / floor_us
  int rounds = 0;
};

// The middle value (the mean of the two middle ones for an even count);
// 0 for none.
double Median(std::vector<double> values);

// Medians of per-round times; rounds whose floor took no measurable time
// have no ratio and are left out of it.
PairedFigures Summarise(const std::vector<double>& subject_us, const std::vector<double>& floor_us);

// The wall time of one call of `call`, in seconds, for a benchmark that
// times itself around untimed work.
template <typename Call>
double SecondsOf(Call&& call) {
  const auto start = std::chrono::steady_clock::now();
  call();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class PairedRounds {
 public:
  // `calls_per_round` calls of each side make one round, so that the
  // clock's own cost (tens of nanoseconds) stays small beside a
  // microsecond read.
  explicit PairedRounds(int calls_per_round = 1) : calls_(calls_per_round) {}

  // Times `calls_per_round` calls of `subject` and of `floor`, the subject
  // first in even rounds and the floor first in odd ones.
  template <typename Subject, typename Floor>
  void Round(Subject&& subject, Floor&& floor) {
    double subject_us = 0;
    double floor_us = 0;
    if (subject_us_.size() % 2 == 0) {
      subject_us = Time(subject);
      floor_us = Time(floor);
    } else {
      floor_us = Time(floor);
      subject_us = Time(subject);
    }
    subject_us_.push_back(subject_us);
    floor_us_.push_back(floor_us);
  }

  // The subject's time per call in the last round, in seconds: the
  // iteration time of a benchmark whose iteration is one call of each side.
  double LastSubjectSeconds() const { return subject_us_.empty() ? 0 : subject_us_.back() * 1e-6; }
  // The whole last round, both sides and every call, in seconds: the
  // iteration time of a benchmark that runs rounds until a minimum time has
  // passed. Its real_time is then a round's, and the per-call figures are
  // in the counters.
  double LastRoundSeconds() const {
    return subject_us_.empty() ? 0 : (subject_us_.back() + floor_us_.back()) * calls_ * 1e-6;
  }
  PairedFigures Figures() const { return Summarise(subject_us_, floor_us_); }

  // Publishes the figures as counters: <prefix>us (the subject),
  // <floor>_us, and <prefix>ratio; the prefix names the subject when one
  // benchmark reports several pairs.
  void Publish(benchmark::State& state, const std::string& floor,
               const std::string& prefix = "") const;

 private:
  template <typename Call>
  double Time(Call& call) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls_; ++i) call();
    const auto span = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double, std::micro>(span).count() / calls_;
  }

  int calls_;
  std::vector<double> subject_us_;
  std::vector<double> floor_us_;
};

}  // namespace orx::bench

#endif  // ORX_BENCH_PAIRED_ROUNDS_H_
