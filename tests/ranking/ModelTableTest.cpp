#include "ranking/ModelTable.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ranking/RankingText.h"

namespace kalvex::ranking {
namespace {

// A table whose models have the given AICc values (K = 0, no sample size,
// so AICc = 2 x -ln[L]).
ModelTable TableOf(const std::vector<double>& criteria) {
  ModelTable table;
  for (double criterion : criteria) {
    ModelRow row;
    row.ModelNegLnL = criterion / 2;
    row.CovarianceFile = "x.cov";
    table.Add(row);
  }
  return table;
}

std::vector<int> ShownNumbers(const ModelTable& table) {
  std::vector<int> numbers;
  for (int p = 1; p <= table.Count(); ++p) numbers.push_back(table.Shown(p).ModelNumber);
  return numbers;
}

TEST(SmallSampleTerm, IsZeroWithoutASampleAndUndefinedWithoutDegreesOfFreedom) {
  struct Case {
    int k;
    int32_t n;
    std::optional<double> term;
  };
  for (const Case& c : {Case{2, 0, 0.0}, Case{2, 20, 80.0 / 17}, Case{0, 20, 0.0}, Case{2, 4, 16.0},
                        Case{2, 3, std::nullopt}, Case{5, 3, std::nullopt}})
    EXPECT_EQ(SmallSampleTerm(c.k, c.n), c.term) << c.k << " " << c.n;
}

TEST(ModelTable, RanksEveryValueWhateverItsSignAndTiesKeepTheirEntryOrder) {
  ModelTable table = TableOf({3, -2, 3, -2, 0});
  EXPECT_EQ(ShownNumbers(table), (std::vector<int>{1, 2, 3, 4, 5}));
  table.Rank();
  EXPECT_TRUE(table.Ranked());
  EXPECT_EQ(ShownNumbers(table), (std::vector<int>{2, 4, 5, 1, 3}));
  const std::vector<double> deltas = {0, 0, 2, 5, 5};
  double sum = 0;
  for (int p = 1; p <= 5; ++p) {
    EXPECT_EQ(table.Shown(p).Delta, deltas[p - 1]);
    sum += *table.Shown(p).Weight;
  }
  EXPECT_NEAR(sum, 1, 1e-15);
  const double s = 2 + std::exp(-1.0) + 2 * std::exp(-2.5);
  EXPECT_DOUBLE_EQ(*table.Shown(3).Weight, std::exp(-1.0) / s);
  EXPECT_EQ(RankGridRow(table, 4)[0], "   4)    1");
  EXPECT_EQ(RowLabel(12, 4), " 12)    4");
  EXPECT_EQ(RowLabel(3, 14), "   3)  14");
}

}  // namespace
}  // namespace kalvex::ranking
