#include "workspace/Objective.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/TestModels.h"
#include "workspace/NumericFault.h"

namespace kalvex {
namespace {

// A workspace with n parameters whose objective is the sum of squares of the
// vector; a quadratic bowl is enough to observe the protocol.
Workspace MakeWorkspace(int n) {
  auto model = std::make_unique<testing::FunctionModel>(n, [](std::span<double> v) {
    double s = 0;
    for (std::size_t i = 1; i < v.size(); ++i) s += v[i] * v[i];
    return s;
  });
  Workspace ws(std::move(model));
  InitializeModel(ws, {});
  SetDefaultAlgorithmData(ws);
  return ws;
}

testing::FunctionModel& ModelOf(Workspace& ws) { return static_cast<testing::FunctionModel&>(*ws.model); }

TEST(NormalizeLinks, ThreeMembersFollowTheLowestIndexedLeader) {
  Workspace ws = MakeWorkspace(5);
  ws.Alg.Values = {0, 1, 2, 3, 4, 5};
  ws.Alg.Steps = {0, 0.1, 0.2, 0.3, 0.4, 0.5};
  ws.Alg.Links = {"", "~~", "AB", "AB", "Q", "AB"};
  NormalizeLinks(ws);
  EXPECT_EQ(ws.Alg.Values, (std::vector<double>{0, 1, 2, 2, 4, 2}));
  EXPECT_EQ(ws.Alg.Steps, (std::vector<double>{0, 0.1, 0.2, 0, 0.4, 0}));
  EXPECT_EQ(ws.Alg.Links[4], "~~");  // a single-member code is unfused
  EXPECT_EQ(ws.Alg.Links[2], "AB");
  ASSERT_EQ(ws.LinkGroups.size(), 2u);
  EXPECT_EQ(ws.LinkGroups[0].MemberCount, 3);
}

TEST(CollectFreeParameters, CompactsNonZeroStepsInOrder) {
  Workspace ws = MakeWorkspace(4);
  CollectFreeParameters(ws);
  EXPECT_EQ(ws.Free.FreeCount, 0);
  ws.Alg.Values = {0, 1, 2, 3, 4};
  ws.Alg.Steps = {0, 0, 0.5, 0, -0.25};
  CollectFreeParameters(ws);
  ASSERT_EQ(ws.Free.FreeCount, 2);
  EXPECT_EQ(ws.Free.FreeIndex[1], 2);
  EXPECT_EQ(ws.Free.FreeIndex[2], 4);
  EXPECT_EQ(ws.Free.FreeValues[2], 4);
  EXPECT_EQ(ws.Free.FreeSteps[2], -0.25);
}

TEST(ExpandLinks, FollowersTakeTheFirstMembersTrialValue) {
  Workspace ws = MakeWorkspace(3);
  ws.Alg.Links = {"", "A", "A", "A"};
  ws.Alg.Steps = {0, 1, 1, 1};
  std::vector<double> v = {0, 7, 8, 9};
  ExpandLinks(ws, v);
  EXPECT_EQ(v, (std::vector<double>{0, 7, 7, 7}));
  EXPECT_EQ(ws.Alg.Steps, (std::vector<double>{0, 1, 0, 0}));
}

TEST(ExpandLinks, TheEvaluatedParameterDrivesTheMembersAfterIt) {
  Workspace ws = MakeWorkspace(3);
  ws.Alg.Links = {"", "A", "A", "A"};
  ws.Alg.Steps = {0, 1, 0, 0};
  ws.ProfileEvaluationActive = kOn;
  ws.EvaluatedParameter = 2;
  std::vector<double> v = {0, 7, 8, 9};
  ExpandLinks(ws, v);
  // Parameter 1 keeps its own value; 2 is fixed and evaluated, so it keeps 8
  // and hands it on to 3.
  EXPECT_EQ(v, (std::vector<double>{0, 7, 8, 8}));
  ws.ProfileEvaluationActive = kOff;
  ws.PosteriorEvaluationActive = kOn;
  ws.EvaluatedParameter = 1;
  ws.Alg.Steps = {0, 0, 0, 0};
  v = {0, 5, 8, 9};
  ExpandLinks(ws, v);
  EXPECT_EQ(v, (std::vector<double>{0, 5, 5, 5}));
}

TEST(EvaluateObjective, CountsCallsPassesNfAndExpandsLinks) {
  Workspace ws = MakeWorkspace(2);
  ws.Alg.Links = {"", "A", "A"};
  std::vector<double> v = {0, 3, 100};
  ws.FunctionCallCount = 0;
  EXPECT_EQ(EvaluateObjective(ws, v), 18.0);
  EXPECT_EQ(EvaluateObjective(ws, v), 18.0);
  EXPECT_EQ(ws.FunctionCallCount, 2);
  EXPECT_EQ(ModelOf(ws).callCodes, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(EvaluateObjectiveWithCode(ws, v, 1), 18.0);
  EXPECT_EQ(ws.FunctionCallCount, 2);
}

TEST(EvaluateObjective, BestFitFollowsTheRunRule) {
  Workspace ws = MakeWorkspace(1);
  std::vector<double> v = {0, 1};
  EvaluateObjectiveWithCode(ws, v, 1);
  v[1] = 3;
  ws.FunctionCallCount = 1;
  EvaluateObjective(ws, v);  // NF = 2, worse: kept
  EXPECT_EQ(ws.model->BestObjective(), 1.0);
  v[1] = -1;
  EvaluateObjective(ws, v);  // equal value at NF > 1: kept
  EXPECT_EQ(ws.model->BestValues()[1], 1.0);
  v[1] = 5;
  EvaluateObjectiveWithCode(ws, v, 1);  // a new run replaces it even when worse
  EXPECT_EQ(ws.model->BestObjective(), 25.0);
}

TEST(EvaluateObjective, CallCountOverflowAndNonFiniteValuesAreFaults) {
  Workspace ws = MakeWorkspace(1);
  std::vector<double> v = {0, 1};
  ws.FunctionCallCount = std::numeric_limits<int32_t>::max();
  EXPECT_THROW(EvaluateObjective(ws, v), NumericFault);
  ws.FunctionCallCount = 0;
  v[1] = std::numeric_limits<double>::infinity();
  try {
    EvaluateObjective(ws, v);
    FAIL() << "an infinite objective must raise";
  } catch (const NumericFault& fault) {
    EXPECT_STREQ(fault.what(), kOverflow);
  }
}

TEST(Workspace, DefaultsToleranceAndDateTimeNames) {
  Workspace ws = MakeWorkspace(3);
  EXPECT_EQ(ws.Alg.Links[1], "~~");
  EXPECT_EQ(ws.Alg.MaxFunctionCalls, 9999);
  EXPECT_EQ(ws.Alg.OutputFileName, "minimize.kvl");
  AlgorithmData alg;
  for (auto [in, out] : {std::pair{-2e-7, -1e-6}, {3e-6, 3e-6}, {0.0, 0.0}, {5e-7, 1e-6}}) {
    alg.Tolerance = in;
    NormalizeTolerance(alg);
    EXPECT_EQ(alg.Tolerance, out);
  }
  EXPECT_EQ(DateTimeFileName(12, 1, 9, 7, ".alg"), "12010907.alg");
  EXPECT_EQ(DateTimeFileName(3, 7, 14, 5, ".alg"), "03071405.alg");
}

TEST(InitializeModel, ResetsTheWorkspaceForTheNewModel) {
  Workspace ws = MakeWorkspace(2);
  ws.PriorsActive = kOn;
  ws.PriorsFileName = "old.pri";
  ws.SimplexStateKept = true;
  InitializeModel(ws, {1, "/data/run1.dat"});
  EXPECT_EQ(ws.PriorsActive, kOff);
  EXPECT_TRUE(ws.PriorsFileName.empty());
  EXPECT_FALSE(ws.SimplexStateKept);
  EXPECT_EQ(ws.Alg.Links[2], "~");
  EXPECT_EQ(ws.Priors[1].TypeLetters, "U");
  EXPECT_EQ(ws.DataFileTitle, "run1");
  EXPECT_TRUE(ws.InitializeAlready);
}

}  // namespace
}  // namespace kalvex
