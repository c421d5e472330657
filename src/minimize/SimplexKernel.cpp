#include "minimize/SimplexKernel.h"

#include <cmath>
#include <string>
#include <vector>

#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

const std::string kReflection = "Reflection            ";
const std::string kExtension = "Extension             ";
const std::string kReflectionContraction = "Reflection-Contraction";
const std::string kContraction = "Contraction           ";
const std::string kReflectionReduction = "Reflection-Reduction  ";
const std::string kReduction = "Reduction             ";

int FreeCountOf(const Workspace& ws) { return ws.Free.FreeCount; }
int CentroidColumn(const Workspace& ws) { return ws.Free.FreeCount + 2; }

std::vector<double> Column(const SimplexState& s, int n, int column) {
  std::vector<double> point(static_cast<std::size_t>(n) + 1, 0.0);
  for (int k = 1; k <= n; ++k) point[k] = s.SimplexVertices(k, column);
  return point;
}

// WorkVector = Values with the free coordinates of point; EvaluateObjective.
// Remembers the lowest point of the run for the numeric-fault path.
double EvaluatePoint(Workspace& ws, const std::vector<double>& point) {
  SimplexState& s = ws.Simplex;
  s.WorkVector = ws.Alg.Values;
  for (int k = 1; k <= ws.Free.FreeCount; ++k) s.WorkVector[ws.Free.FreeIndex[k]] = point[k];
  double value = EvaluateObjective(ws, s.WorkVector);
  if (!s.HasLowest || value < s.LowestValue) {
    s.HasLowest = true;
    s.LowestValue = value;
    s.LowestPoint = point;
  }
  return value;
}

double EvaluateVertex(Workspace& ws, int column) {
  SimplexState& s = ws.Simplex;
  double value = EvaluatePoint(ws, Column(s, FreeCountOf(ws), column));
  s.VertexValues[column] = value;
  return value;
}

void AcceptPoint(SimplexState& s, int n, const std::vector<double>& point, double value) {
  for (int k = 1; k <= n; ++k) s.SimplexVertices(k, s.WorstVertex) = point[k];
  s.VertexValues[s.WorstVertex] = value;
}

void OrderAndCentroid(Workspace& ws) {
  SimplexState& s = ws.Simplex;
  int n = FreeCountOf(ws);
  s.BestVertex = s.WorstVertex = 1;
  for (int i = 2; i <= n + 1; ++i) {
    if (s.VertexValues[i] < s.VertexValues[s.BestVertex])
      s.BestVertex = static_cast<int16_t>(i);
    else if (s.VertexValues[i] > s.VertexValues[s.WorstVertex])
      s.WorstVertex = static_cast<int16_t>(i);
  }
  for (int k = 1; k <= n; ++k) {
    double sum = 0;
    for (int j = 1; j <= n + 1; ++j) sum += s.SimplexVertices(k, j);
    s.SimplexVertices(k, CentroidColumn(ws)) = (sum - s.SimplexVertices(k, s.WorstVertex)) / n;
  }
}

void SizeSimplex(Workspace& ws) {
  SimplexState& s = ws.Simplex;
  int rows = std::max<int>(ws.Alg.NumParameters, ws.Free.FreeCount);
  s.SimplexVertices.Resize(rows, rows + 2);
  s.VertexValues.assign(static_cast<std::size_t>(rows) + 2, 0.0);
  s.TrialPoint.assign(static_cast<std::size_t>(rows) + 1, 0.0);
  s.ExpansionPoint.assign(static_cast<std::size_t>(rows) + 1, 0.0);
  s.BestVertex = s.WorstVertex = 1;
  s.BuiltForFreeCount = ws.Free.FreeCount;
}

// A kept simplex is usable only for the free parameters it was built for.
bool KeptSimplexFits(const Workspace& ws) {
  const SimplexState& s = ws.Simplex;
  return s.BuiltForFreeCount == ws.Free.FreeCount && s.SimplexVertices.Rows() >= ws.Free.FreeCount &&
         s.SimplexVertices.Columns() >= ws.Free.FreeCount + 2 &&
         static_cast<int>(s.VertexValues.size()) >= ws.Free.FreeCount + 2;
}

void BuildInitialSimplex(Workspace& ws) {
  SimplexState& s = ws.Simplex;
  int n = FreeCountOf(ws);
  EvaluateVertex(ws, 1);
  for (int j = 2; j <= n + 1; ++j)
    for (int k = 1; k <= n; ++k) s.SimplexVertices(k, j) = s.SimplexVertices(k, 1);
  for (int j = 2; j <= n + 1; ++j) {
    s.SimplexVertices(j - 1, j) = s.SimplexVertices(j - 1, j) + ws.Free.FreeSteps[j - 1];
    EvaluateVertex(ws, j);
  }
  OrderAndCentroid(ws);
}

void OneMove(Workspace& ws) {
  SimplexState& s = ws.Simplex;
  int n = FreeCountOf(ws);
  int c = CentroidColumn(ws);
  for (int k = 1; k <= n; ++k)
    s.TrialPoint[k] = 2 * s.SimplexVertices(k, c) - s.SimplexVertices(k, s.WorstVertex);
  s.TrialValue = EvaluatePoint(ws, s.TrialPoint);
  s.ImprovedCount = 0;
  for (int i = 1; i <= n + 1; ++i)
    if (s.TrialValue < s.VertexValues[i]) ++s.ImprovedCount;
  s.AcceptedAction = kReflection;

  if (s.ImprovedCount == n + 1) {
    for (int k = 1; k <= n; ++k) s.ExpansionPoint[k] = 2 * s.TrialPoint[k] - s.SimplexVertices(k, c);
    double expansionValue = EvaluatePoint(ws, s.ExpansionPoint);
    if (expansionValue < s.TrialValue) {
      AcceptPoint(s, n, s.ExpansionPoint, expansionValue);
      s.AcceptedAction = kExtension;
    } else {
      AcceptPoint(s, n, s.TrialPoint, s.TrialValue);
    }
    return;
  }
  if (s.ImprovedCount > 1) {
    AcceptPoint(s, n, s.TrialPoint, s.TrialValue);
    return;
  }
  if (s.ImprovedCount == 1)
    AcceptPoint(s, n, s.TrialPoint, s.TrialValue);
  else
    s.AcceptedAction.clear();

  // Contraction of the worst vertex (perhaps the accepted reflection) towards the centroid.
  for (int k = 1; k <= n; ++k)
    s.TrialPoint[k] = 0.5 * s.SimplexVertices(k, s.WorstVertex) + 0.5 * s.SimplexVertices(k, c);
  s.TrialValue = EvaluatePoint(ws, s.TrialPoint);
  bool reflected = s.AcceptedAction == kReflection;
  if (s.TrialValue < s.VertexValues[s.WorstVertex]) {
    AcceptPoint(s, n, s.TrialPoint, s.TrialValue);
    s.AcceptedAction = reflected ? kReflectionContraction : kContraction;
    return;
  }

  s.AcceptedAction = reflected ? kReflectionReduction : kReduction;
  int b = s.BestVertex;
  for (int j = 1; j <= n + 1; ++j) {
    if (j == b) continue;
    for (int k = 1; k <= n; ++k)
      s.SimplexVertices(k, j) = s.SimplexVertices(k, b) + 0.5 * (s.SimplexVertices(k, j) - s.SimplexVertices(k, b));
    EvaluateVertex(ws, j);
  }
}

// The simplex rebuilt around the best vertex with reduced steps after a
// failed verification.
void Rebuild(Workspace& ws, const SimplexOptions& options, SimplexObserver& observer, int failedAt) {
  SimplexState& s = ws.Simplex;
  int n = ws.Free.FreeCount;
  ++s.RestartCount;
  observer.Restarting(ws.Free.FreeIndex[failedAt]);
  int b = s.BestVertex;
  for (int k = 1; k <= n; ++k) s.SimplexVertices(k, 1) = s.SimplexVertices(k, b);
  EvaluateVertex(ws, 1);
  for (int j = 2; j <= n + 1; ++j) {
    s.SimplexVertices(j - 1, j) = s.SimplexVertices(j - 1, j) + options.reductionFraction * ws.Free.FreeSteps[j - 1];
    EvaluateVertex(ws, j);
  }
  OrderAndCentroid(ws);
}

// The axial search around the best vertex: true when convergence is
// verified; on failure the simplex is rebuilt around the lower point.
bool VerifyConvergence(Workspace& ws, const SimplexOptions& options, SimplexObserver& observer) {
  SimplexState& s = ws.Simplex;
  int n = ws.Free.FreeCount;
  observer.VerifyingConvergence();
  double tolerance = options.tolerance;
  int b = s.BestVertex;
  double fb = s.VertexValues[b];
  // Signed: a negative best value under a relative tolerance gives a negative threshold.
  double d = tolerance > 0 ? tolerance : (tolerance < 0 ? -tolerance * fb : 0.0);
  double fraction = options.reductionFraction;
  int axial = 0;
  int failedAt = 0;
  for (int k = 1; k <= n && failedAt == 0; ++k) {
    double offset = fraction * ws.Free.FreeSteps[k];
    s.SimplexVertices(k, b) = s.SimplexVertices(k, b) + offset;
    ++axial;
    if (EvaluatePoint(ws, Column(s, n, b)) < fb - d) {
      failedAt = k;
      break;
    }
    observer.AxialCall(axial, 2 * n);
    s.SimplexVertices(k, b) = s.SimplexVertices(k, b) - 2 * offset;
    ++axial;
    if (EvaluatePoint(ws, Column(s, n, b)) < fb - d) {
      failedAt = k;
      break;
    }
    observer.AxialCall(axial, 2 * n);
    s.SimplexVertices(k, b) = s.SimplexVertices(k, b) + offset;
  }
  observer.AxialSearchEnded();
  if (failedAt != 0) {
    Rebuild(ws, options, observer, failedAt);
    return false;
  }
  observer.Converged();
  return true;
}

enum class TestOutcome { Continue, Converged, ZeroBest };

TestOutcome ConvergenceTest(Workspace& ws, const SimplexOptions& options, SimplexObserver& observer) {
  SimplexState& s = ws.Simplex;
  double best = s.VertexValues[s.BestVertex];
  double spread = std::fabs(s.VertexValues[s.WorstVertex] - best);
  double tolerance = options.tolerance;
  bool proposed = false;
  if (tolerance >= 0) {
    proposed = tolerance > spread;
  } else {
    if (best == 0) return TestOutcome::ZeroBest;
    proposed = std::fabs(tolerance) > spread / std::fabs(best);
  }
  if (!proposed) return TestOutcome::Continue;
  return VerifyConvergence(ws, options, observer) ? TestOutcome::Converged : TestOutcome::Continue;
}

void WriteBack(Workspace& ws, const std::vector<double>& point) {
  for (int k = 1; k <= ws.Free.FreeCount; ++k) ws.Alg.Values[ws.Free.FreeIndex[k]] = point[k];
}

}  // namespace

SimplexOptions SimplexOptions::Of(const AlgorithmData& alg) {
  return {alg.Tolerance, alg.MaxFunctionCalls, alg.ReductionFraction};
}

std::optional<std::string> SimplexOptions::Validate() const {
  if (!std::isfinite(tolerance)) return "The tolerance must be a finite number";
  if (!std::isfinite(reductionFraction)) return "The step size reduction fraction must be a finite number";
  return std::nullopt;
}

SimplexKernel::SimplexKernel(Workspace& ws, const SimplexOptions& options, SimplexObserver& observer)
    : ws_(ws), options_(options), observer_(observer) {}

const std::vector<double>& SimplexKernel::LastVector() const { return ws_.Simplex.WorkVector; }

int64_t SimplexKernel::TotalFunctionCalls() const { return callsBeforeReset_ + ws_.FunctionCallCount; }

MinimizeResult SimplexKernel::Result(RunEnd end) const {
  const SimplexState& s = ws_.Simplex;
  MinimizeResult result;
  result.end = end;
  if (!s.VertexValues.empty() && s.BestVertex < static_cast<int>(s.VertexValues.size()))
    result.objective = s.VertexValues[s.BestVertex];
  result.iterations = s.IterationCount;
  result.functionCalls = ws_.FunctionCallCount;
  result.totalFunctionCalls = TotalFunctionCalls();
  result.restarts = s.RestartCount;
  return result;
}

MinimizeResult SimplexKernel::Run() {
  SimplexState& s = ws_.Simplex;
  int n = ws_.Free.FreeCount;
  if (n == 0) return Result(RunEnd::NothingToDo);
  ws_.FunctionCallCount = 0;
  callsBeforeReset_ = 0;
  s.HasLowest = false;
  s.IterationCount = 0;
  s.RestartCount = 0;
  if (!ws_.SimplexStateKept || !KeptSimplexFits(ws_)) {
    SizeSimplex(ws_);
    for (int k = 1; k <= n; ++k) s.SimplexVertices(k, 1) = ws_.Free.FreeValues[k];
    observer_.BuildingSimplex();
    ws_.SimplexStateKept = true;
    BuildInitialSimplex(ws_);
  }
  observer_.SimplexReady();

  RunEnd end = RunEnd::Interrupted;
  bool stopping = false;
  do {
    OneMove(ws_);
    OrderAndCentroid(ws_);
    ++s.IterationCount;
    observer_.Moved();

    stopping = false;
    s.StopFlag = 0;
    if (ws_.FunctionCallCount > options_.maxFunctionCalls) {
      if (observer_.LimitReached() == Verdict::GoOn) {
        callsBeforeReset_ += ws_.FunctionCallCount;
        ws_.FunctionCallCount = 0;
      } else {
        stopping = true;
        end = RunEnd::Limit;
      }
    }
    if (!stopping) {
      TestOutcome outcome = ConvergenceTest(ws_, options_, observer_);
      if (outcome == TestOutcome::ZeroBest) {
        observer_.ZeroBestValue();
        MinimizeResult result = Result(RunEnd::Error);
        result.message = kZeroBestMessage;
        return result;
      }
      if (outcome == TestOutcome::Converged) {
        stopping = true;
        end = RunEnd::Converged;
      }
    }
    if (observer_.IterationDone() == Verdict::Stop) {
      stopping = true;
      end = RunEnd::Interrupted;
    }
  } while (!stopping);
  s.StopFlag = 1;

  WriteBack(ws_, Column(s, n, s.BestVertex));
  return Result(end);
}

MinimizeResult SimplexKernel::RestoreAfterFault() {
  SimplexState& s = ws_.Simplex;
  // The simplex may be half moved: the next run builds a new one.
  ws_.SimplexStateKept = false;
  if (s.HasLowest) WriteBack(ws_, s.LowestPoint);
  MinimizeResult result = Result(RunEnd::Error);
  result.objective = s.HasLowest ? s.LowestValue : 0.0;
  return result;
}

}  // namespace kalvex
