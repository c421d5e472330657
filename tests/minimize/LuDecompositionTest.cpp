#include "minimize/LuDecomposition.h"

#include <gtest/gtest.h>

#include "minimize/MinimizerReports.h"
#include "model/SummaryInverse.h"
#include "support/ScriptedFrontend.h"
#include "workspace/NumericFault.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::ScriptedFrontend;

LuWork Work(std::initializer_list<std::initializer_list<double>> rows) {
  LuWork lu;
  int n = static_cast<int>(rows.size());
  lu.Resize(n);
  int i = 1;
  for (auto row : rows) {
    int j = 1;
    for (double v : row) lu.DecompMatrix(i, j++) = v;
    ++i;
  }
  return lu;
}

TEST(LuInvert, SwappedIdentityIsItsOwnInverseWithDeterminantMinusOne) {
  LuWork lu = Work({{0, 1}, {1, 0}});
  int pauses = 0;
  ASSERT_TRUE(LuDecompose(lu, 2, [&] { ++pauses; }).Ok());
  EXPECT_EQ(lu.PivotParity, -1);
  EXPECT_EQ(lu.PivotRows[1], 2);
  EXPECT_EQ(pauses, 4);  // once per row, once per column

  lu = Work({{0, 1}, {1, 0}});
  ASSERT_TRUE(LuInvert(lu, 2).Ok());
  EXPECT_EQ(lu.DecompMatrix(1, 1), 0);
  EXPECT_EQ(lu.DecompMatrix(1, 2), 1);
  EXPECT_EQ(lu.DecompMatrix(2, 1), 1);
  EXPECT_EQ(lu.DecompMatrix(2, 2), 0);
  EXPECT_EQ(lu.PivotParity, -1);
}

TEST(LuInvert, DiagonalMatrixNeedsNoInterchange) {
  LuWork lu = Work({{2, 0}, {0, 4}});
  ASSERT_TRUE(LuInvert(lu, 2).Ok());
  EXPECT_EQ(lu.PivotRows[1], 1);
  EXPECT_EQ(lu.PivotRows[2], 2);
  EXPECT_EQ(lu.DecompMatrix(1, 1), 0.5);
  EXPECT_EQ(lu.DecompMatrix(2, 2), 0.25);
  EXPECT_EQ(lu.DecompMatrix(1, 2), 0);
  EXPECT_EQ(lu.PivotParity, 0.125);
}

TEST(LuDecompose, EqualScaledCandidatesPivotOnTheLaterRow) {
  // Scaled first-column candidates are 1/1 and 2/2.
  LuWork lu = Work({{1, 1}, {2, -2}});
  ASSERT_TRUE(LuDecompose(lu, 2).Ok());
  EXPECT_EQ(lu.PivotRows[1], 2);
  EXPECT_EQ(lu.PivotParity, -1);
}

TEST(LuDecompose, SingularMatrixWithoutZeroRowGetsTheTinyPivot) {
  LuWork lu = Work({{1, 1}, {1, 1}});
  ASSERT_TRUE(LuDecompose(lu, 2).Ok());
  EXPECT_EQ(lu.DecompMatrix(2, 2), kTinyPivot);
}

TEST(LuDecompose, ZeroRowIsReportedAndLeavesTheMatrix) {
  LuWork lu = Work({{1, 2}, {0, 0}});
  EXPECT_EQ(LuDecompose(lu, 2).ZeroRow, 2);
  EXPECT_EQ(lu.DecompMatrix(1, 2), 2);
  lu = Work({{0, 0}, {1, 1}});
  EXPECT_EQ(LuInvert(lu, 2).ZeroRow, 1);
  // The summary's inverse turns a zero row into a division by zero.
  Matrix zero(2, 2);
  zero(1, 1) = 1;
  try {
    model::InvertScaledLu(zero);
    ADD_FAILURE() << "no fault";
  } catch (const NumericFault& fault) {
    EXPECT_STREQ(fault.what(), kDivisionByZero);
  }
}

TEST(DecompositionFailure, NamesTheModelParameterWithTheModesText) {
  struct Case {
    std::string mode;
    std::string text;
  };
  // Before any Marquardt setup the mode is empty: the numerical text applies.
  for (const Case& c : {Case{"N", "Look for statistically dead model parameters"},
                        Case{"A", "Look for statistically dead parameters and/or suspect your analytical derivatives"},
                        Case{"", "Look for statistically dead model parameters"}}) {
    ScriptedFrontend ui;
    ui.ExpectMessage("Matrix decompositon failure at parameter #7!");
    Workspace ws;
    ws.Free.FreeIndex = {0, 3, 7};
    ws.Free.FreeCount = 2;
    ws.DerivativeMode = c.mode;
    ReportDecompositionFailure(ws, 2, ui);
    EXPECT_EQ(ui.LastMessage().text, c.text);
    EXPECT_EQ(ui.LastMessage().style, 48);
  }
}

TEST(LuSolve, LeadingZerosSkippedGiveTheFullSolution) {
  LuWork lu = Work({{4, -2, 1}, {3, 6, -4}, {2, 1, 8}});
  ASSERT_TRUE(LuDecompose(lu, 3).Ok());
  Matrix b(3, 2);
  b(1, 1) = 0, b(2, 1) = 0, b(3, 1) = 1;
  b(1, 2) = 11, b(2, 2) = 22, b(3, 2) = 33;
  LuSolve(lu, 3, 1, b);
  // A x = (0, 0, 1)
  const double a[3][3] = {{4, -2, 1}, {3, 6, -4}, {2, 1, 8}};
  for (int i = 0; i < 3; ++i) {
    double sum = 0;
    for (int j = 0; j < 3; ++j) sum += a[i][j] * b(j + 1, 1);
    EXPECT_NEAR(sum, i == 2 ? 1.0 : 0.0, 1e-15);
  }
  EXPECT_EQ(b(1, 2), 11);  // other columns untouched
  EXPECT_EQ(b(3, 2), 33);
}

TEST(LuSolve, OverflowingSolutionIsANumericFault) {
  LuWork lu = Work({{1, 1}, {1, 1}});
  ASSERT_TRUE(LuDecompose(lu, 2).Ok());
  Matrix b(2, 1);
  b(1, 1) = 0;
  b(2, 1) = 1e300;
  EXPECT_THROW(LuSolve(lu, 2, 1, b), NumericFault);
}

}  // namespace
}  // namespace kalvex
