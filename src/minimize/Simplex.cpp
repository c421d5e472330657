#include "minimize/Simplex.h"

#include <cmath>
#include <string>
#include <vector>

#include "minimize/MinimizeCommands.h"
#include "minimize/MinimizerReports.h"
#include "ui/Frontend.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;
namespace style = ui::style;

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

std::string BestValueText(double value) { return FormatNumber(value, "####0.#####"); }

void InitialReport(Workspace& ws, ui::Frontend& ui) {
  const SimplexState& s = ws.Simplex;
  int n = FreeCountOf(ws);
  std::string values = "Initial Simplex: Starting function value> " + BestValueText(s.VertexValues[1]) +
                       " Max> " + BestValueText(s.VertexValues[s.WorstVertex]) + " Min> " +
                       BestValueText(s.VertexValues[s.BestVertex]);
  std::vector<double> first = Column(s, n, 1);
  if (ws.Alg.TerminalFrequency != 0) {
    std::string text = std::string(kCrLf) + values + kCrLf + kCrLf + "Initial parameter values:" + kCrLf + kCrLf +
                       ParameterLines(ws, first);
    ui.SetPaneText(kSimplexForm, kSimplexInitialPane, text);
  }
  if (LogWanted(ws)) {
    ws.Log.WriteLine();
    ws.Log.WriteLine();
    ws.Log.WriteLine("Initial parameter values:");
    ws.Log.WriteLine();
    WriteLogGroups(ws.Log, ws, first);
    ws.Log.WriteLine();
    ws.Log.WriteLine();
    ws.Log.WriteLine(values);
  }
}

std::string NoteLine(const SimplexState& s, const Workspace& ws) {
  return "Note: " + std::to_string(s.IterationCount) + " iterations, " + std::to_string(ws.FunctionCallCount) +
         " function calls, and " + std::to_string(s.RestartCount) + " restarts";
}

std::string CurrentLine(const Workspace& ws) {
  const SimplexState& s = ws.Simplex;
  double best = s.VertexValues[s.BestVertex];
  double worst = s.VertexValues[s.WorstVertex];
  double spread = std::fabs(worst - best);
  return "Current: Min> " + FormatNumber(best, "####0.#####     ") + " Max> " +
         FormatNumber(worst, "####0.#####     ") + ToleranceFigure(ws.Alg.Tolerance, spread, best);
}

std::string ImprovedLine(const SimplexState& s) {
  return "Number of function values (parameter vectors) improved: " + FormatNumber(s.ImprovedCount, "#0") +
         "; Action accepted: " + s.AcceptedAction;
}

void ProfileStatus(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  if (ws.ProfileEvaluationActive != kOn) return;
  int32_t index = options.profile ? options.profile->PointIndex : 0;
  int32_t count = options.profile ? options.profile->PointCount : 0;
  std::string text = "Calculating profile point " + FormatNumber(index, "##0") + " of " + FormatNumber(count, "##0") + ",";
  int evaluated = ws.EvaluatedParameter;
  if (ws.Free.FreeCount > 0 && evaluated >= 1 && evaluated <= ws.Alg.NumParameters)
    text += " Value of parameter # " + std::to_string(evaluated) + " which is being profiled is: " +
            FormatNumber(ws.Alg.Values[evaluated], "0.00000E+00");
  SetPanel(ui, 1, text);
  ui.PumpEvents();
}

void ProgressReport(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  SimplexState& s = ws.Simplex;
  std::string text = std::string(kCrLf) + NoteLine(s, ws) + kCrLf + kCrLf + CurrentLine(ws) + kCrLf + kCrLf;
  if (ws.Alg.TerminalFrequency == 1) text += ImprovedLine(s) + kCrLf + kCrLf;
  text += "Current minimum found at these " + std::to_string(ws.Free.FreeCount) + " adjusted parameter values:" +
          kCrLf + kCrLf + ParameterLines(ws, Column(s, ws.Free.FreeCount, s.BestVertex)) + kCrLf;
  s.ScreenText = text;
  ui.SetPaneText(kSimplexForm, kSimplexPane, s.ScreenText);
  ProfileStatus(ws, ui, options);
}

void ProgressLog(Workspace& ws) {
  if (!ws.Log.IsOpen()) return;
  const SimplexState& s = ws.Simplex;
  LogWriter& log = ws.Log;
  log.WriteLine();
  log.WriteLine(NoteLine(s, ws));
  if (ws.Alg.FileFrequency == 1) log.WriteLine(ImprovedLine(s));
  log.WriteLine();
  log.WriteLine("Current minimum found at these " + std::to_string(ws.Free.FreeCount) + " adjusted parameter values: ");
  log.WriteLine();
  WriteLogGroups(log, ws, Column(s, ws.Free.FreeCount, s.BestVertex));
  log.WriteLine();
  log.WriteLine();
  log.WriteLine(CurrentLine(ws));
  log.WriteLine();
}

void FinalReport(Workspace& ws, ui::Frontend& ui) {
  const SimplexState& s = ws.Simplex;
  int n = ws.Free.FreeCount;
  std::vector<double> best = Column(s, n, s.BestVertex);
  std::string minimum = "Minimum of " + BestValueText(s.VertexValues[s.BestVertex]) + " found at these " +
                        std::to_string(n) + " adjusted parameter values:";
  std::string required = "This result required " + std::to_string(s.IterationCount) + " iterations, " +
                         std::to_string(ws.FunctionCallCount) + " function calls, and " +
                         std::to_string(s.RestartCount) + " restarts";
  ui.SetPaneText(kSimplexForm, kSimplexPane,
                 std::string(kCrLf) + minimum + kCrLf + kCrLf + ParameterLines(ws, best) + kCrLf + required + kCrLf);
  if (LogWanted(ws)) {
    ws.Log.WriteLine();
    ws.Log.WriteLine();
    ws.Log.WriteLine(minimum);
    ws.Log.WriteLine();
    WriteLogGroups(ws.Log, ws, best);
    ws.Log.WriteLine();
    ws.Log.WriteLine();
    ws.Log.WriteLine(required);
    ws.Log.WriteLine();
  }
}

void Rebuild(Workspace& ws, ui::Frontend& ui, int failedAt) {
  SimplexState& s = ws.Simplex;
  int n = ws.Free.FreeCount;
  ++s.RestartCount;
  if (s.RestartCount > 1) SetPanel(ui, 4, "Multiple restarts indicate a tuning problem!");
  SetPanel(ui, 3, "Last failure of convergence verification caused by parameter # " +
                      std::to_string(ws.Free.FreeIndex[failedAt]));
  int b = s.BestVertex;
  for (int k = 1; k <= n; ++k) s.SimplexVertices(k, 1) = s.SimplexVertices(k, b);
  EvaluateVertex(ws, 1);
  double fraction = ws.Alg.ReductionFraction;
  for (int j = 2; j <= n + 1; ++j) {
    s.SimplexVertices(j - 1, j) = s.SimplexVertices(j - 1, j) + fraction * ws.Free.FreeSteps[j - 1];
    EvaluateVertex(ws, j);
  }
  OrderAndCentroid(ws);
}

enum class TestOutcome { Continue, Converged, SimplexError };

TestOutcome ConvergenceTest(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  SimplexState& s = ws.Simplex;
  double best = s.VertexValues[s.BestVertex];
  double spread = std::fabs(s.VertexValues[s.WorstVertex] - best);
  double tolerance = ws.Alg.Tolerance;
  bool proposed = false;
  if (tolerance >= 0) {
    proposed = tolerance > spread;
  } else {
    if (best == 0) {
      ui.Message("Simplex error",
                 std::string("A function value of zero has caused a division by zero error.") + kCrLf +
                     "Reset the tolerance to ABSolute or otherwise correct model",
                 80);
      ClearPanels(ui, 1, 4);
      return TestOutcome::SimplexError;
    }
    proposed = std::fabs(tolerance) > spread / std::fabs(best);
  }
  if (!proposed) return TestOutcome::Continue;
  return VerifyConvergence(ws, ui, options) ? TestOutcome::Converged : TestOutcome::Continue;
}

void AskToContinueAfterLimit(Workspace& ws, ui::Frontend& ui, int64_t& callsBeforeReset, bool& limitStop) {
  SimplexState& s = ws.Simplex;
  if (ws.FunctionCallCount <= ws.Alg.MaxFunctionCalls) return;
  Answer answer = ui.Message("Simplex minimization",
                             "Maximum number of function calls reached, do you want to continue?",
                             style::kYesNo + style::kQuestion);
  if (answer == Answer::Yes) {
    callsBeforeReset += ws.FunctionCallCount;
    ws.FunctionCallCount = 0;
    return;
  }
  s.StopFlag = 1;
  s.FinalReportFlag = -1;
  limitStop = true;
  SetPanel(ui, 1, "One moment please...");
  ClearPanels(ui, 2, 4);
}

// Returns true when the user chose to stop.
bool HandleInterrupt(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  SimplexState& s = ws.Simplex;
  if (ws.SimplexInterrupt != -1) return false;
  ws.SimplexInterrupt = 0;
  ui.SetEnabled(kSimplexForm, "cmdStop", true);
  SetPanel(ui, 1, "");
  const int yesNo = style::kYesNo + style::kQuestion;
  if (ws.ProfileEvaluationActive != kOn) {
    if (ui.Message("Simplex interrupt", "Interrupt received. Do you want to quit minimizing?", yesNo) == Answer::Yes) {
      s.StopFlag = 1;
      s.FinalReportFlag = -1;
      SetPanel(ui, 1, "One moment please...");
      ClearPanels(ui, 2, 4);
      return true;
    }
    s.FinalReportFlag = 0;
    return false;
  }
  if (ui.Message("Simplex interrupt", "Interrupt received. Do you want to quit the ML procedure?", yesNo) ==
      Answer::Yes) {
    s.StopFlag = 1;
    s.FinalReportFlag = -1;
    if (ProfilePoint* point = options.profile) {
      point->PointReached = point->PointIndex;
      point->PointIndex = point->PointCount + 2;
    }
    return true;
  }
  if (ui.Message("Simplex interrupt", "Do you want to continue starting with the NEXT point?",
                 yesNo + style::kSecondDefault) == Answer::Yes) {
    s.StopFlag = 1;
    s.FinalReportFlag = 0;
    return true;
  }
  s.FinalReportFlag = -1;
  return false;
}

void WriteBack(Workspace& ws, const std::vector<double>& point) {
  for (int k = 1; k <= ws.Free.FreeCount; ++k) ws.Alg.Values[ws.Free.FreeIndex[k]] = point[k];
}

MinimizeResult Result(const Workspace& ws, RunEnd end, int64_t callsBeforeReset) {
  const SimplexState& s = ws.Simplex;
  MinimizeResult result;
  result.end = end;
  if (!s.VertexValues.empty() && s.BestVertex < static_cast<int>(s.VertexValues.size()))
    result.objective = s.VertexValues[s.BestVertex];
  result.iterations = s.IterationCount;
  result.functionCalls = ws.FunctionCallCount;
  result.totalFunctionCalls = callsBeforeReset + ws.FunctionCallCount;
  result.restarts = s.RestartCount;
  return result;
}

}  // namespace

bool VerifyConvergence(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  SimplexState& s = ws.Simplex;
  int n = ws.Free.FreeCount;
  SetPanel(ui, 1, "Verifying convergence by performing an axial search");
  SetPanel(ui, 3, "");
  double tolerance = ws.Alg.Tolerance;
  int b = s.BestVertex;
  double fb = s.VertexValues[b];
  // Signed: a negative best value under a relative tolerance gives a negative threshold.
  double d = tolerance > 0 ? tolerance : (tolerance < 0 ? -tolerance * fb : 0.0);
  double fraction = ws.Alg.ReductionFraction;
  std::string ofTotal = " of " + FormatNumber(2 * n, "###0");
  int axial = 0;
  int failedAt = 0;
  auto axialStatus = [&] { SetPanel(ui, 2, "Axial function call " + FormatNumber(axial, "###0") + ofTotal); };
  for (int k = 1; k <= n && failedAt == 0; ++k) {
    double offset = fraction * ws.Free.FreeSteps[k];
    s.SimplexVertices(k, b) = s.SimplexVertices(k, b) + offset;
    ++axial;
    if (EvaluatePoint(ws, Column(s, n, b)) < fb - d) {
      failedAt = k;
      break;
    }
    axialStatus();
    s.SimplexVertices(k, b) = s.SimplexVertices(k, b) - 2 * offset;
    ++axial;
    if (EvaluatePoint(ws, Column(s, n, b)) < fb - d) {
      failedAt = k;
      break;
    }
    axialStatus();
    s.SimplexVertices(k, b) = s.SimplexVertices(k, b) + offset;
  }
  SetPanel(ui, 2, " ");
  SetPanel(ui, 1, "");

  if (failedAt != 0) {
    Rebuild(ws, ui, failedAt);
    return false;
  }
  if (ws.ProfileEvaluationActive == kOn) {
    if (ProfilePoint* point = options.profile) {
      point->HasResult = true;
      point->ResultObjective = s.VertexValues[s.BestVertex];
      int evaluated = ws.EvaluatedParameter;
      point->ResultValue = evaluated >= 1 && evaluated <= ws.Alg.NumParameters ? ws.Alg.Values[evaluated] : 0.0;
    }
    s.StopFlag = 1;
    return true;
  }
  FinalReport(ws, ui);
  ui.Message("Simplex minimum", "Minimum found using Simplex!", 80);
  ws.SimplexInterrupt = 0;
  ClearPanels(ui, 1, 4);
  s.StopFlag = 1;
  if (ws.PriorsActive == kOn && options.priorReview) options.priorReview(ws, ui);
  return true;
}

MinimizeResult RunSimplex(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  SimplexState& s = ws.Simplex;
  int n = ws.Free.FreeCount;
  if (n == 0) {  // no simplex to build; the callers check this first
    MinimizeResult result;
    result.end = RunEnd::NothingToDo;
    return result;
  }
  ui.ShowWindow(kSimplexForm);
  ui.SetPaneText(kSimplexForm, kSimplexInitialPane, "");
  ui.SetPaneText(kSimplexForm, kSimplexPane, "");
  ws.FunctionCallCount = 0;
  int64_t callsBeforeReset = 0;
  s.HasLowest = false;
  s.IterationCount = 0;
  s.RestartCount = 0;
  ui.SetEnabled(kSimplexForm, "cmdStop", true);
  ui.SetCaption(kSimplexForm, "cmdStop", "&Interrupt this minimization");

  RunEnd end = RunEnd::Interrupted;
  try {
    if (!ws.SimplexStateKept || !KeptSimplexFits(ws)) {
      SizeSimplex(ws);
      for (int k = 1; k <= n; ++k) s.SimplexVertices(k, 1) = ws.Free.FreeValues[k];
      SetPanel(ui, 1, "Building initial simplex...");
      SetPanel(ui, 2, "");
      ui.PumpEvents(true);
      ws.SimplexStateKept = true;
      BuildInitialSimplex(ws);
      s.FinalReportFlag = 0;
    }
    InitialReport(ws, ui);
    s.TerminalCountdown = ws.Alg.TerminalFrequency;
    s.FileCountdown = ws.Alg.FileFrequency;

    do {
      OneMove(ws);
      OrderAndCentroid(ws);
      ++s.IterationCount;

      int16_t terminal = ws.Alg.TerminalFrequency;
      if (s.TerminalCountdown == terminal && terminal != 0) {
        s.TerminalCountdown = 1;
        ProgressReport(ws, ui, options);
      } else if (s.TerminalCountdown > 0) {
        ++s.TerminalCountdown;
      }
      int16_t file = ws.Alg.FileFrequency;
      if (s.FileCountdown == file && file != 0) {
        s.FileCountdown = 1;
        ProgressLog(ws);
      } else if (s.FileCountdown > 0) {
        ++s.FileCountdown;
      }

      s.StopFlag = 0;
      bool limitStop = false;
      AskToContinueAfterLimit(ws, ui, callsBeforeReset, limitStop);
      if (limitStop) end = RunEnd::Limit;
      if (s.StopFlag == 0) {
        TestOutcome outcome = ConvergenceTest(ws, ui, options);
        if (outcome == TestOutcome::SimplexError) {
          MinimizeResult result = Result(ws, RunEnd::Error, callsBeforeReset);
          result.message = "A function value of zero has caused a division by zero error.";
          return result;
        }
        if (outcome == TestOutcome::Converged) end = RunEnd::Converged;
      }
      ui.PumpEvents();
      if (HandleInterrupt(ws, ui, options)) end = RunEnd::Interrupted;
      if (s.FinalReportFlag == -1) {
        if (s.TerminalCountdown > 1 && terminal != 0) ProgressReport(ws, ui, options);
        s.FinalReportFlag = 0;
      }
    } while (s.StopFlag != 1);
  } catch (const NumericFault& fault) {
    // The simplex may be half moved: the next run builds a new one.
    std::vector<double> faultVector = s.WorkVector;
    ws.SimplexStateKept = false;
    if (s.HasLowest) WriteBack(ws, s.LowestPoint);
    ClearPanels(ui, 1, 4);
    MinimizeResult result = Result(ws, RunEnd::Error, callsBeforeReset);
    result.objective = s.HasLowest ? s.LowestValue : 0.0;
    result.message = fault.what();
    ui.Message("Simplex minimization", NumericFaultText(ws, fault.what(), faultVector), style::kCritical);
    return result;
  }

  WriteBack(ws, Column(s, n, s.BestVertex));
  ClearPanels(ui, 1, 4);
  return Result(ws, end, callsBeforeReset);
}

void OnSimplexInterruptPressed(Workspace& ws, ui::Frontend& ui) {
  ws.SimplexInterrupt = -1;
  ui.SetEnabled(kSimplexForm, "cmdStop", false);
  SetPanel(ui, 1, "Interrupt pending...");
}

bool OnSimplexWindowClosing(Workspace& ws, ui::Frontend& ui) {
  ui.SetPaneText(kSimplexForm, kSimplexInitialPane, "");
  ui.SetPaneText(kSimplexForm, kSimplexPane, "");
  ClearPanels(ui, 1, 4);
  if (ws.MinimizationRunning != 0) return false;
  ShowMainMenu(ws, ui);
  return true;
}

}  // namespace kalvex
