#include "minimize/SimplexKernel.h"

#include <cmath>
#include <string>
#include <vector>

#include "workspace/Problem.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

const std::string kReflection = "Reflection            ";
const std::string kExtension = "Extension             ";
const std::string kReflectionContraction = "Reflection-Contraction";
const std::string kContraction = "Contraction           ";
const std::string kReflectionReduction = "Reflection-Reduction  ";
const std::string kReduction = "Reduction             ";

// The kernel's view of one run: the problem and the simplex it works on.
struct Work {
  Problem& p;
  SimplexState& s;
  int FreeCount() const { return p.free.FreeCount; }
  int CentroidColumn() const { return p.free.FreeCount + 2; }
};

std::vector<double> Column(const SimplexState& s, int n, int column) {
  std::vector<double> point(static_cast<std::size_t>(n) + 1, 0.0);
  for (int k = 1; k <= n; ++k) point[k] = s.SimplexVertices(k, column);
  return point;
}

// WorkVector = the values with the free coordinates of point; one counted
// evaluation. Remembers the lowest point of the run for the numeric-fault path.
double EvaluatePoint(Work& r, const std::vector<double>& point) {
  SimplexState& s = r.s;
  s.WorkVector = r.p.values;
  for (int k = 1; k <= r.FreeCount(); ++k) s.WorkVector[r.p.free.FreeIndex[k]] = point[k];
  double value = r.p.Evaluate(s.WorkVector);
  if (!s.HasLowest || value < s.LowestValue) {
    s.HasLowest = true;
    s.LowestValue = value;
    s.LowestPoint = point;
  }
  return value;
}

double EvaluateVertex(Work& r, int column) {
  double value = EvaluatePoint(r, Column(r.s, r.FreeCount(), column));
  r.s.VertexValues[column] = value;
  return value;
}

void AcceptPoint(SimplexState& s, int n, const std::vector<double>& point, double value) {
  for (int k = 1; k <= n; ++k) s.SimplexVertices(k, s.WorstVertex) = point[k];
  s.VertexValues[s.WorstVertex] = value;
}

void OrderAndCentroid(Work& r) {
  SimplexState& s = r.s;
  int n = r.FreeCount();
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
    s.SimplexVertices(k, r.CentroidColumn()) = (sum - s.SimplexVertices(k, s.WorstVertex)) / n;
  }
}

void SizeSimplex(Work& r) {
  SimplexState& s = r.s;
  int rows = std::max<int>(r.p.NumParameters(), r.FreeCount());
  s.SimplexVertices.Resize(rows, rows + 2);
  s.VertexValues.assign(static_cast<std::size_t>(rows) + 2, 0.0);
  s.TrialPoint.assign(static_cast<std::size_t>(rows) + 1, 0.0);
  s.ExpansionPoint.assign(static_cast<std::size_t>(rows) + 1, 0.0);
  s.BestVertex = s.WorstVertex = 1;
  s.BuiltForFreeCount = static_cast<int16_t>(r.FreeCount());
}

// A kept simplex is usable only for the free parameters it was built for.
bool KeptSimplexFits(const Work& r) {
  const SimplexState& s = r.s;
  const int n = r.FreeCount();
  return s.BuiltForFreeCount == n && s.SimplexVertices.Rows() >= n && s.SimplexVertices.Columns() >= n + 2 &&
         static_cast<int>(s.VertexValues.size()) >= n + 2;
}

void BuildInitialSimplex(Work& r) {
  SimplexState& s = r.s;
  int n = r.FreeCount();
  EvaluateVertex(r, 1);
  for (int j = 2; j <= n + 1; ++j)
    for (int k = 1; k <= n; ++k) s.SimplexVertices(k, j) = s.SimplexVertices(k, 1);
  for (int j = 2; j <= n + 1; ++j) {
    s.SimplexVertices(j - 1, j) = s.SimplexVertices(j - 1, j) + r.p.free.FreeSteps[j - 1];
    EvaluateVertex(r, j);
  }
  OrderAndCentroid(r);
}

void OneMove(Work& r) {
  SimplexState& s = r.s;
  int n = r.FreeCount();
  int c = r.CentroidColumn();
  for (int k = 1; k <= n; ++k)
    s.TrialPoint[k] = 2 * s.SimplexVertices(k, c) - s.SimplexVertices(k, s.WorstVertex);
  s.TrialValue = EvaluatePoint(r, s.TrialPoint);
  s.ImprovedCount = 0;
  for (int i = 1; i <= n + 1; ++i)
    if (s.TrialValue < s.VertexValues[i]) ++s.ImprovedCount;
  s.AcceptedAction = kReflection;

  if (s.ImprovedCount == n + 1) {
    for (int k = 1; k <= n; ++k) s.ExpansionPoint[k] = 2 * s.TrialPoint[k] - s.SimplexVertices(k, c);
    double expansionValue = EvaluatePoint(r, s.ExpansionPoint);
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
  s.TrialValue = EvaluatePoint(r, s.TrialPoint);
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
    EvaluateVertex(r, j);
  }
}

// The simplex rebuilt around the best vertex with reduced steps after a
// failed verification.
void Rebuild(Work& r, const SimplexOptions& options, SimplexObserver& observer, int failedAt) {
  SimplexState& s = r.s;
  int n = r.FreeCount();
  ++s.RestartCount;
  observer.Restarting(r.p.free.FreeIndex[failedAt]);
  int b = s.BestVertex;
  for (int k = 1; k <= n; ++k) s.SimplexVertices(k, 1) = s.SimplexVertices(k, b);
  EvaluateVertex(r, 1);
  for (int j = 2; j <= n + 1; ++j) {
    s.SimplexVertices(j - 1, j) = s.SimplexVertices(j - 1, j) + options.reductionFraction * r.p.free.FreeSteps[j - 1];
    EvaluateVertex(r, j);
  }
  OrderAndCentroid(r);
}

// The axial search around the best vertex: true when convergence is
// verified; on failure the simplex is rebuilt around the lower point.
bool VerifyConvergence(Work& r, const SimplexOptions& options, SimplexObserver& observer) {
  SimplexState& s = r.s;
  int n = r.FreeCount();
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
    double offset = fraction * r.p.free.FreeSteps[k];
    s.SimplexVertices(k, b) = s.SimplexVertices(k, b) + offset;
    ++axial;
    if (EvaluatePoint(r, Column(s, n, b)) < fb - d) {
      failedAt = k;
      break;
    }
    observer.AxialCall(axial, 2 * n);
    s.SimplexVertices(k, b) = s.SimplexVertices(k, b) - 2 * offset;
    ++axial;
    if (EvaluatePoint(r, Column(s, n, b)) < fb - d) {
      failedAt = k;
      break;
    }
    observer.AxialCall(axial, 2 * n);
    s.SimplexVertices(k, b) = s.SimplexVertices(k, b) + offset;
  }
  observer.AxialSearchEnded();
  if (failedAt != 0) {
    Rebuild(r, options, observer, failedAt);
    return false;
  }
  observer.Converged();
  return true;
}

enum class TestOutcome { Continue, Converged, ZeroBest };

TestOutcome ConvergenceTest(Work& r, const SimplexOptions& options, SimplexObserver& observer) {
  SimplexState& s = r.s;
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
  return VerifyConvergence(r, options, observer) ? TestOutcome::Converged : TestOutcome::Continue;
}

// The point into the values; a follower takes its leader's value, as every
// evaluation of the point gave it.
void WriteBack(Problem& p, const std::vector<double>& point) {
  for (int k = 1; k <= p.free.FreeCount; ++k) p.values[p.free.FreeIndex[k]] = point[k];
  p.objective.ExpandLinks(p.values);
}

}  // namespace

SimplexOptions SimplexOptions::Of(const ProblemSettings& settings) {
  return {settings.tolerance, settings.maxFunctionCalls, settings.reductionFraction};
}

std::optional<std::string> SimplexOptions::Validate() const {
  if (!std::isfinite(tolerance)) return "The tolerance must be a finite number";
  if (!std::isfinite(reductionFraction)) return "The step size reduction fraction must be a finite number";
  return std::nullopt;
}

SimplexKernel::SimplexKernel(Problem& problem, SimplexState& state, const SimplexOptions& options,
                             SimplexObserver& observer)
    : problem_(problem), s_(state), options_(options), observer_(observer), kept_(options.continueKept) {}

const std::vector<double>& SimplexKernel::LastVector() const { return s_.WorkVector; }

int64_t SimplexKernel::TotalFunctionCalls() const { return callsBeforeReset_ + problem_.calls; }

MinimizeResult SimplexKernel::Result(RunEnd end) const {
  MinimizeResult result;
  result.end = end;
  if (!s_.VertexValues.empty() && s_.BestVertex < static_cast<int>(s_.VertexValues.size()))
    result.objective = s_.VertexValues[s_.BestVertex];
  result.iterations = s_.IterationCount;
  result.functionCalls = problem_.calls;
  result.totalFunctionCalls = TotalFunctionCalls();
  result.restarts = s_.RestartCount;
  result.point = problem_.values;
  return result;
}

MinimizeResult SimplexKernel::Run() {
  SimplexState& s = s_;
  Work r{problem_, s_};
  int n = problem_.free.FreeCount;
  if (n == 0) return Result(RunEnd::NothingToDo);
  problem_.calls = 0;
  callsBeforeReset_ = 0;
  s.HasLowest = false;
  s.IterationCount = 0;
  s.RestartCount = 0;
  if (!kept_ || !KeptSimplexFits(r)) {
    SizeSimplex(r);
    for (int k = 1; k <= n; ++k) s.SimplexVertices(k, 1) = problem_.free.FreeValues[k];
    observer_.BuildingSimplex();
    kept_ = true;
    BuildInitialSimplex(r);
  }
  observer_.SimplexReady();

  RunEnd end = RunEnd::Interrupted;
  bool stopping = false;
  do {
    OneMove(r);
    OrderAndCentroid(r);
    ++s.IterationCount;
    observer_.Moved();

    stopping = false;
    s.StopFlag = 0;
    if (problem_.calls > options_.maxFunctionCalls) {
      if (observer_.LimitReached() == Verdict::GoOn) {
        callsBeforeReset_ += problem_.calls;
        problem_.calls = 0;
      } else {
        stopping = true;
        end = RunEnd::Limit;
      }
    }
    if (!stopping) {
      TestOutcome outcome = ConvergenceTest(r, options_, observer_);
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

  WriteBack(problem_, Column(s, n, s.BestVertex));
  return Result(end);
}

MinimizeResult SimplexKernel::RestoreAfterFault() {
  // The simplex may be half moved: the next run builds a new one.
  kept_ = false;
  if (s_.HasLowest) WriteBack(problem_, s_.LowestPoint);
  MinimizeResult result = Result(RunEnd::Error);
  result.objective = s_.HasLowest ? s_.LowestValue : 0.0;
  return result;
}

}  // namespace kalvex
