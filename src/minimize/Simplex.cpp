#include "minimize/Simplex.h"

#include <cmath>
#include <string>
#include <vector>

#include "algorithm/MinimizationLog.h"
#include "minimize/InterruptQuestion.h"
#include "minimize/MinimizerReports.h"
#include "minimize/MinimizerWindow.h"
#include "minimize/SimplexKernel.h"
#include "minimize/WindowMinimizer.h"
#include "ui/Frontend.h"
#include "ui/RunContext.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Problem.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

namespace style = ui::style;

constexpr RunDescription kSimplexRun{"", "Simplex minimization", "Simplex interrupt",
                                     InterruptFlag::Simplex};

std::vector<double> Column(const SimplexState& s, int n, int column) {
  std::vector<double> point(static_cast<std::size_t>(n) + 1, 0.0);
  for (int k = 1; k <= n; ++k) point[k] = s.SimplexVertices(k, column);
  return point;
}

std::string BestValueText(double value) { return FormatNumber(value, "####0.#####"); }

// The reports (told to the window), the log and the questions around the kernel.
class SimplexDriver : public SimplexObserver {
 public:
  SimplexDriver(RunContext& run, MinimizerWindow& window, const Problem& problem, const MinimizeOptions& options)
      : run_(run), window_(window), ws_(run.Ws()), s_(run.Ws().Simplex), problem_(problem), options_(options) {}

  void BuildingSimplex() override {
    run_.Activity(1, "Building initial simplex...");
    run_.Activity(2, "");
    run_.Pump(true);
  }

  void SimplexReady() override {
    s_.FinalReportFlag = 0;
    InitialReport();
    s_.TerminalCountdown = ws_.Alg.TerminalFrequency;
    s_.FileCountdown = ws_.Alg.FileFrequency;
  }

  void Moved() override {
    int16_t terminal = ws_.Alg.TerminalFrequency;
    if (s_.TerminalCountdown == terminal && terminal != 0) {
      s_.TerminalCountdown = 1;
      ProgressReport();
    } else if (s_.TerminalCountdown > 0) {
      ++s_.TerminalCountdown;
    }
    int16_t file = ws_.Alg.FileFrequency;
    if (s_.FileCountdown == file && file != 0) {
      s_.FileCountdown = 1;
      ProgressLog();
    } else if (s_.FileCountdown > 0) {
      ++s_.FileCountdown;
    }
  }

  Verdict LimitReached() override {
    ui::Answer answer = run_.Ui().Message("Simplex minimization",
                                          "Maximum number of function calls reached, do you want to continue?",
                                          style::kYesNo + style::kQuestion);
    if (answer == ui::Answer::Yes) return Verdict::GoOn;
    s_.FinalReportFlag = -1;
    run_.Activity(1, "One moment please...");
    run_.ClearActivity(2, 4);
    return Verdict::Stop;
  }

  void VerifyingConvergence() override {
    run_.Activity(1, "Verifying convergence by performing an axial search");
    run_.Activity(3, "");
  }

  void AxialCall(int done, int total) override {
    run_.Activity(2, "Axial function call " + FormatNumber(done, "###0") + " of " + FormatNumber(total, "###0"));
  }

  void AxialSearchEnded() override {
    run_.Activity(2, " ");
    run_.Activity(1, "");
  }

  void Restarting(int parameter) override {
    if (s_.RestartCount > 1) run_.Activity(4, "Multiple restarts indicate a tuning problem!");
    run_.Activity(3, "Last failure of convergence verification caused by parameter # " + std::to_string(parameter));
  }

  void Converged() override {
    if (Profiling()) {
      if (ProfilePoint* point = options_.profile) {
        point->HasResult = true;
        point->ResultObjective = s_.VertexValues[s_.BestVertex];
        int evaluated = ws_.EvaluatedParameter;
        point->ResultValue = evaluated >= 1 && evaluated <= ws_.Alg.NumParameters ? problem_.values[evaluated] : 0.0;
      }
      return;
    }
    FinalReport();
    run_.Ui().Message("Simplex minimum", "Minimum found using Simplex!", 80);
    run_.Interrupt().Clear();
    run_.ClearActivity();
  }

  void ZeroBestValue() override {
    run_.Ui().Message("Simplex error",
                      std::string(kZeroBestMessage) + kCrLf +
                          "Reset the tolerance to ABSolute or otherwise correct model",
                      80);
    run_.ClearActivity();
  }

  Verdict IterationDone() override {
    if (!Profiling()) run_.Count(s_.IterationCount, 0);  // a profile counts its points instead
    run_.Pump();
    Verdict verdict = Verdict::GoOn;
    switch (AskAfterInterrupt(run_, window_, 1, Profiling(), options_.profile)) {
      case InterruptChoice::None: break;
      case InterruptChoice::GoOn: s_.FinalReportFlag = Profiling() ? -1 : 0; break;
      case InterruptChoice::Quit:
        s_.FinalReportFlag = -1;
        run_.Activity(1, "One moment please...");
        run_.ClearActivity(2, 4);
        verdict = Verdict::Stop;
        break;
      case InterruptChoice::QuitProcedure:
        s_.FinalReportFlag = -1;
        verdict = Verdict::Stop;
        break;
      case InterruptChoice::NextPoint:
        s_.FinalReportFlag = 0;
        verdict = Verdict::Stop;
        break;
    }
    // A run that stops between reports shows where it stopped.
    if (s_.FinalReportFlag == -1) {
      if (s_.TerminalCountdown > 1 && ws_.Alg.TerminalFrequency != 0) ProgressReport();
      s_.FinalReportFlag = 0;
    }
    return verdict;
  }

 private:
  bool Profiling() const { return ws_.ProfileEvaluationActive == kOn; }

  void InitialReport() {
    int n = problem_.free.FreeCount;
    std::string values = "Initial Simplex: Starting function value> " + BestValueText(s_.VertexValues[1]) +
                         " Max> " + BestValueText(s_.VertexValues[s_.WorstVertex]) + " Min> " +
                         BestValueText(s_.VertexValues[s_.BestVertex]);
    std::vector<double> first = Column(s_, n, 1);
    if (ws_.Alg.TerminalFrequency != 0) {
      std::string text = std::string(kCrLf) + values + kCrLf + kCrLf + "Initial parameter values:" + kCrLf + kCrLf +
                         ParameterLines(ws_, first);
      window_.Show(MinimizerReport::Start, text);
    }
    if (LogWanted(ws_)) {
      ws_.Log.WriteLine();
      ws_.Log.WriteLine();
      ws_.Log.WriteLine("Initial parameter values:");
      ws_.Log.WriteLine();
      WriteLogGroups(ws_.Log, ws_, first);
      ws_.Log.WriteLine();
      ws_.Log.WriteLine();
      ws_.Log.WriteLine(values);
      EndLogOnWriteError(ws_, run_.Ui());
    }
  }

  std::string NoteLine() const {
    return "Note: " + std::to_string(s_.IterationCount) + " iterations, " + std::to_string(problem_.calls) +
           " function calls, and " + std::to_string(s_.RestartCount) + " restarts";
  }

  std::string CurrentLine() const {
    double best = s_.VertexValues[s_.BestVertex];
    double worst = s_.VertexValues[s_.WorstVertex];
    double spread = std::fabs(worst - best);
    return "Current: Min> " + FormatNumber(best, "####0.#####     ") + " Max> " +
           FormatNumber(worst, "####0.#####     ") + ToleranceFigure(ws_.Alg.Tolerance, spread, best);
  }

  std::string ImprovedLine() const {
    return "Number of function values (parameter vectors) improved: " + FormatNumber(s_.ImprovedCount, "#0") +
           "; Action accepted: " + s_.AcceptedAction;
  }

  void ProfileStatus() {
    if (!Profiling()) return;
    int32_t index = options_.profile ? options_.profile->PointIndex : 0;
    int32_t count = options_.profile ? options_.profile->PointCount : 0;
    std::string text =
        "Calculating profile point " + FormatNumber(index, "##0") + " of " + FormatNumber(count, "##0") + ",";
    int evaluated = ws_.EvaluatedParameter;
    if (problem_.free.FreeCount > 0 && evaluated >= 1 && evaluated <= ws_.Alg.NumParameters)
      text += " Value of parameter # " + std::to_string(evaluated) + " which is being profiled is: " +
              FormatNumber(problem_.values[evaluated], "0.00000E+00");
    run_.Activity(1, text);
    run_.Pump();
  }

  void ProgressReport() {
    std::string text = std::string(kCrLf) + NoteLine() + kCrLf + kCrLf + CurrentLine() + kCrLf + kCrLf;
    if (ws_.Alg.TerminalFrequency == 1) text += ImprovedLine() + kCrLf + kCrLf;
    const int n = problem_.free.FreeCount;
    text += "Current minimum found at these " + std::to_string(n) + " adjusted parameter values:" + kCrLf + kCrLf +
            ParameterLines(ws_, Column(s_, n, s_.BestVertex)) + kCrLf;
    s_.ScreenText = text;
    window_.Show(MinimizerReport::Progress, s_.ScreenText);
    ProfileStatus();
  }

  void ProgressLog() {
    if (!ws_.Log.IsOpen()) return;
    LogWriter& log = ws_.Log;
    log.WriteLine();
    log.WriteLine(NoteLine());
    if (ws_.Alg.FileFrequency == 1) log.WriteLine(ImprovedLine());
    log.WriteLine();
    const int n = problem_.free.FreeCount;
    log.WriteLine("Current minimum found at these " + std::to_string(n) + " adjusted parameter values: ");
    log.WriteLine();
    WriteLogGroups(log, ws_, Column(s_, n, s_.BestVertex));
    log.WriteLine();
    log.WriteLine();
    log.WriteLine(CurrentLine());
    log.WriteLine();
    EndLogOnWriteError(ws_, run_.Ui());
  }

  void FinalReport() {
    int n = problem_.free.FreeCount;
    std::vector<double> best = Column(s_, n, s_.BestVertex);
    std::string minimum = "Minimum of " + BestValueText(s_.VertexValues[s_.BestVertex]) + " found at these " +
                          std::to_string(n) + " adjusted parameter values:";
    std::string required = "This result required " + std::to_string(s_.IterationCount) + " iterations, " +
                           std::to_string(problem_.calls) + " function calls, and " +
                           std::to_string(s_.RestartCount) + " restarts";
    window_.Show(MinimizerReport::Progress,
                 std::string(kCrLf) + minimum + kCrLf + kCrLf + ParameterLines(ws_, best) + kCrLf + required + kCrLf);
    if (LogWanted(ws_)) {
      ws_.Log.WriteLine();
      ws_.Log.WriteLine();
      ws_.Log.WriteLine(minimum);
      ws_.Log.WriteLine();
      WriteLogGroups(ws_.Log, ws_, best);
      ws_.Log.WriteLine();
      ws_.Log.WriteLine();
      ws_.Log.WriteLine(required);
      ws_.Log.WriteLine();
      EndLogOnWriteError(ws_, run_.Ui());
    }
  }

  RunContext& run_;
  MinimizerWindow& window_;
  Workspace& ws_;
  SimplexState& s_;
  const Problem& problem_;
  const MinimizeOptions& options_;
};

class SimplexOnWindow : public WindowMinimizer {
 public:
  SimplexOnWindow(Workspace& ws, ui::Frontend& ui, Problem& problem, const MinimizeOptions& options)
      : ws_(ws),
        window_(options.window ? *options.window : noWindow_),
        run_(ws, ui, kSimplexRun),
        settings_(Settings(ws, problem)),
        driver_(run_, window_, problem, options),
        kernel_(problem, ws.Simplex, settings_, driver_) {}

  MinimizeResult Run() override {
    if (std::optional<MinimizeResult> refused = RefuseSettings(run_, settings_.Validate())) return *refused;
    window_.RunBegins();
    MinimizeResult result = kernel_.Run();
    ws_.SimplexStateKept = kernel_.Kept();
    EndRun();
    if (result.end != RunEnd::Error) run_.ClearActivity();  // the "Simplex error" box cleared them
    return result;
  }

  const std::vector<double>& FaultVector() const override { return kernel_.LastVector(); }

  MinimizeResult AfterFault() override {
    MinimizeResult result = kernel_.RestoreAfterFault();
    ws_.SimplexStateKept = kernel_.Kept();
    return result;
  }

  RunContext& Context() override { return run_; }

  // A finished run takes no interrupt: its button goes grey, and a click
  // that came after the last question is forgotten.
  void EndRun() {
    window_.RunEnded();
    run_.Interrupt().Clear();
  }

 private:
  static SimplexOptions Settings(const Workspace& ws, const Problem& problem) {
    SimplexOptions settings = SimplexOptions::Of(problem.settings);
    settings.continueKept = ws.SimplexStateKept;
    return settings;
  }

  Workspace& ws_;
  MinimizerWindow noWindow_;
  MinimizerWindow& window_;
  RunContext run_;
  SimplexOptions settings_;
  SimplexDriver driver_;
  SimplexKernel kernel_;
};

}  // namespace

std::unique_ptr<WindowMinimizer> MakeSimplexOnWindow(Workspace& ws, ui::Frontend& ui, Problem& problem,
                                                     const MinimizeOptions& options) {
  return std::make_unique<SimplexOnWindow>(ws, ui, problem, options);
}

MinimizeResult RunSimplex(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  if (ws.Free.FreeCount == 0) {  // no simplex to build; the callers check this first
    MinimizeResult result;
    result.end = RunEnd::NothingToDo;
    return result;
  }
  Problem problem = ProblemOf(ws);
  SimplexOnWindow minimizer(ws, ui, problem, options);
  RunContext& run = minimizer.Context();
  MinimizeResult result;
  RunOutcome outcome = run.Run([&] { result = minimizer.Run(); },
                               {.describe =
                                    [&](const NumericFault& fault) {
                                      return NumericFaultText(ws, fault.what(), minimizer.FaultVector());
                                    },
                                .restore = [&] { result = minimizer.AfterFault(); }});
  TakeProblemValues(ws, problem);
  if (outcome.faulted) {
    minimizer.EndRun();
    result.message = outcome.fault;
    result.faulted = true;
  }
  return result;
}

}  // namespace kalvex
