// The statistics and the order of paired rounds: a wrong median or a fixed
// order would put a bias into every ratio of the report.
#include "paired_rounds.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace orx::bench {
namespace {

TEST(PairedRoundsTest, MedianOfOddEvenAndEmptyInputs) {
  struct Case {
    std::vector<double> values;
    double median;
  };
  const Case cases[] = {
      {{}, 0}, {{3}, 3}, {{5, 1, 3}, 3}, {{4, 1, 3, 2}, 2.5}, {{7, 7, 1, 7}, 7}, {{9, 1}, 5},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(Median(c.values), c.median) << c.values.size();
}

TEST(PairedRoundsTest, RatioIsTheMedianOfPerRoundRatiosNotOfMedians) {
  // Per round 2x, 1x, 3x: median 2x; the medians alone (3 and 1) say 3x.
  const PairedFigures figures = Summarise({2, 10, 3}, {1, 10, 1});
  EXPECT_DOUBLE_EQ(figures.ratio, 2);
  EXPECT_DOUBLE_EQ(figures.subject_us, 3);
  EXPECT_DOUBLE_EQ(figures.floor_us, 1);
  EXPECT_EQ(figures.rounds, 3);
}

TEST(PairedRoundsTest, RoundsWithoutAFloorTimeHaveNoRatio) {
  const PairedFigures figures = Summarise({5, 4, 100}, {0, 2, 0});
  EXPECT_DOUBLE_EQ(figures.ratio, 2);
  // Unequal lengths: only complete rounds count.
  EXPECT_EQ(Summarise({1, 2, 3}, {1, 1}).rounds, 2);
}

TEST(PairedRoundsTest, AlternatesWhichSideGoesFirstAndCallsEachSidePerRound) {
  PairedRounds rounds(3);
  std::string order;
  for (int round = 0; round < 4; ++round) {
    rounds.Round([&] { order += 's'; }, [&] { order += 'f'; });
  }
  EXPECT_EQ(order,
            "sssfff"
            "fffsss"
            "sssfff"
            "fffsss");
  EXPECT_EQ(rounds.Figures().rounds, 4);
}

// An operation that contains its floor cannot come out cheaper than it.
TEST(PairedRoundsTest, ASubjectContainingItsFloorHasARatioAboveOne) {
  struct stat st;
  PairedRounds rounds(50);
  for (int round = 0; round < 200; ++round) {
    rounds.Round(
        [&] {
          stat("/", &st);
          stat("/", &st);
        },
        [&] { stat("/", &st); });
  }
  EXPECT_GT(rounds.Figures().ratio, 1.2);
  EXPECT_GT(rounds.LastSubjectSeconds(), 0);
}

}  // namespace
}  // namespace orx::bench
