// The Hessian grids on several threads against the same grids on one: the
// results, the covariance report and the workspace's model and prior terms
// as a run on one thread leaves them, also after an interrupt and a fault.
#include "covariance/GridOnPool.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "algorithm/AlgorithmCommands.h"
#include "batch/BatchFrontend.h"
#include "covariance/CovarianceCalculator.h"
#include "covariance/CovarianceReport.h"
#include "covariance/GridPoints.h"
#include "covariance/LikelihoodConstant.h"
#include "model/OskaneModel.h"
#include "support/TestModels.h"
#include "workspace/NumericFault.h"
#include "workspace/Problem.h"

namespace kalvex {
namespace {

PriorEntry Prior(const char* letter, double first, double second) {
  PriorEntry prior;
  prior.TypeLetters = letter;
  prior.FirstTerm = first;
  prior.SecondTerm = second;
  return prior;
}

// What a covariance run leaves behind.
struct RunState {
  std::string report;
  std::vector<double> bestValues, priorTerms, steps;
  double bestObjective = 0, lastObjective = 0, priorValue = 0;
  bool operator==(const RunState&) const = default;
};

RunState OskaneRun(int threads, bool optimistic, bool priorsAndLinks) {
  Workspace ws(MakeOskaneModel());
  std::ostringstream sink;
  batch::BatchFrontend ui(sink);
  InitializeModel(ws, {2, std::string(KALVEX_EXAMPLES) + "/two_species.dat"});
  LoadAlgorithmFile(ws, ui, testing::TestData("two_species_fitted.alg"));
  if (priorsAndLinks) {
    ws.Alg.Links[6] = ws.Alg.Links[7] = "PE";
    ws.PriorsActive = kOn;
    ws.Priors[2] = Prior("N", 0.1, 0.05);
    ws.Priors[9] = Prior("B", 0.4, 0.2);
  }
  ws.WorkerThreads = threads;
  ws.ObjectiveScale = 2;
  CovarianceSettings settings;
  settings.objectiveScale = 2;
  settings.optimisticSEs = optimistic;
  EXPECT_EQ(RunCovariance(ws, ui, settings), CovarianceRunEnd::Completed);
  const auto& model = static_cast<const OskaneModel&>(*ws.model);
  return {CovarianceReportText(ws.Covariance.Results), model.BestValues(), ws.PriorTerms, ws.Alg.Steps,
          model.BestObjective(), model.LastEvaluation().Objective, ws.PriorValue};
}

TEST(GridOnPool, SameResultsAndWorkspaceForAnyThreadCount) {
  for (bool optimistic : {false, true}) {
    SCOPED_TRACE(optimistic ? "optimistic, priors and links" : "full");
    const RunState one = OskaneRun(1, optimistic, optimistic);
    EXPECT_NE(one.report.find("Determinant"), std::string::npos);
    for (int threads : {2, 3}) EXPECT_TRUE(OskaneRun(threads, optimistic, optimistic) == one) << threads << " threads";
  }
}

// A quadratic in three parameters that takes `delay` per evaluation and
// faults where `fault` says: a text to throw, or empty.
using FaultAt = std::function<std::string(std::span<double>)>;
std::unique_ptr<Workspace> SlowWorkspace(std::chrono::microseconds delay, FaultAt fault = {}) {
  auto objective = [delay, fault](std::span<double> v) {
    std::this_thread::sleep_for(delay);
    if (fault)
      if (std::string text = fault(v); !text.empty()) throw NumericFault(text);
    return v[1] * v[1] + 2 * v[2] * v[2] + 3 * v[3] * v[3] + v[1] * v[2];
  };
  auto ws = std::make_unique<Workspace>(std::make_unique<testing::FunctionModel>(3, objective));
  InitializeModel(*ws, {});
  SetDefaultAlgorithmData(*ws);
  ws->Alg.Values = {0, 0, 0, 0};
  ws->Alg.Steps = {0, 1, 1, 1};
  return ws;
}

// Abandons grid `grid` after its point `point` (0: at the first chance).
class Abandoning : public GridObserver {
 public:
  Abandoning(int grid, int point) : grid_(grid), point_(point) {}
  bool Evaluated(int grid, int point, int) override { return grid == grid_ && (point_ == 0 || point == point_); }

 private:
  int grid_, point_;
};

CovarianceResults Grids(Workspace& ws, GridObserver& observer) {
  CovarianceResults r;
  CovarianceSettings settings;
  settings.objectiveScale = 1;
  Problem problem = ProblemOf(ws);
  ComputeCovariance(problem, ws.Alg.Descriptions, settings, r, observer);
  return r;
}

// An interrupt of the last grid, confirmed while its points are spread over
// two threads, leaves the results and the model's last evaluation of one
// thread interrupted after the same point, one the threads had reached (each
// takes 150 ms for its six points; the first tick comes after 20 ms, or
// later on a busy machine).
TEST(GridOnPool, InterruptLeavesTheStateOfOneThread) {
  auto threaded = SlowWorkspace(std::chrono::milliseconds(25));
  threaded->WorkerThreads = 2;
  Abandoning atFirstTick(3, 0);
  CovarianceResults r = Grids(*threaded, atFirstTick);
  ASSERT_TRUE(r.Outcome[3].abandoned);
  ASSERT_TRUE(r.Outcome[1].Valid() && r.Outcome[2].Valid());

  const std::vector<double>& last = threaded->model->BestValues();
  int point = 0;
  std::vector<GridPoint> points = GridPointsOf(r);
  for (int k = 1; k <= static_cast<int>(points.size()) && point == 0; ++k) {
    std::vector<double> trial;
    MakeTrial(r, 3, points[k - 1], trial);
    if (trial == last) point = k;
  }
  ASSERT_NE(point, 0) << "the model's last evaluation is no point of grid 3";
  EXPECT_LT(point, static_cast<int>(points.size()));

  auto single = SlowWorkspace(std::chrono::microseconds(0));
  Abandoning atPoint(3, point);
  CovarianceResults expected = Grids(*single, atPoint);
  EXPECT_EQ(CovarianceReportText(r), CovarianceReportText(expected));
  EXPECT_EQ(single->model->BestValues(), last);
}

// Two points of grid 1 fault, one at the end of the first thread's chunk,
// one at the start of the second's, which meets its fault first: the run
// ends with the fault of the lower point, as on one thread, and the model
// holds the same last evaluation.
TEST(GridOnPool, AFaultIsTheLowestFailingPoints) {
  auto fault = [](std::span<double> v) -> std::string {
    if (v[1] == -1 && v[3] == -1) return kOverflow;            // point 6 of grid 1: (1,3) minus
    if (v[2] == 1 && v[1] == 0 && v[3] == 0) return kInvalidCall;  // point 7: (2,2) plus
    return "";
  };
  std::vector<std::string> faults;
  std::vector<std::vector<double>> lastValues;
  for (int threads : {1, 2, 3}) {
    auto ws = SlowWorkspace(std::chrono::milliseconds(1), fault);
    ws->WorkerThreads = threads;
    GridObserver quiet;
    try {
      Grids(*ws, quiet);
      faults.push_back("none");
    } catch (const NumericFault& raised) {
      faults.push_back(raised.what());
    }
    lastValues.push_back(ws->model->BestValues());
  }
  EXPECT_EQ(faults, (std::vector<std::string>{kOverflow, kOverflow, kOverflow}));
  EXPECT_EQ(lastValues[1], lastValues[0]);
  EXPECT_EQ(lastValues[2], lastValues[0]);
}

}  // namespace
}  // namespace kalvex
