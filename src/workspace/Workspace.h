#pragma once
// The one workspace of a run of the program: the parameter set with the
// minimizer settings, the model, the file names and the workflow flags.
// Every window and analysis is handed this object; there is no global copy.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "workspace/Model.h"
#include "workspace/Results.h"
#include "workspace/TextFile.h"

namespace kalvex {

inline const std::string kOn = "on";
inline const std::string kOff = "off";
inline const std::string kUnlinked = "~~";
inline const std::string kLinkPlaceholder = "~";  // after initialization, before algorithm data

struct AlgorithmData {
  int16_t NumParameters = 0;
  // Per-parameter arrays sized NumParameters + 1; element 0 is never used.
  std::vector<double> Values;
  std::vector<double> Steps;  // 0 = fixed
  std::vector<std::string> Links;
  std::vector<std::string> Descriptions;
  double Tolerance = 1e-6;  // positive: absolute, negative: relative
  int32_t MaxFunctionCalls = 9999;
  int16_t TerminalFrequency = 10;
  int16_t FileFrequency = 0;
  std::string OutputFileName = "minimize.kvl";
  double ReductionFraction = 0.1;
};

// A prior term that may hold a number or a text: the priors file delivers
// the third and fourth terms as texts, and the editor keeps a right foot as
// it was typed. number is the term's numeric reading (nullopt for a text
// that is not a number, such as "Unused").
struct PriorVariant {
  bool isText = true;
  std::string text = "Unused";
  std::optional<double> number;
};

// One parameter's prior. Numeric terms hold kPriorUnset when not set; a term
// that the type does not need holds the text "Unused".
inline constexpr double kPriorUnset = 1e-100;
struct PriorEntry {
  std::string TypeLetters = "U";
  double FirstTerm = kPriorUnset;
  double SecondTerm = kPriorUnset;
  PriorVariant ThirdTerm;
  PriorVariant FourthTerm;
};

// One entry per parameter, 1..NumParameters (element 0 unused).
using PriorTable = std::vector<PriorEntry>;

struct LinkGroup {
  std::string Code;
  int16_t MemberCount = 0;
  double LeaderValue = 0;
};

// The FreeParameters compacted by CollectFreeParameters (1-based).
struct FreeParameters {
  int16_t FreeCount = 0;
  std::vector<double> FreeValues{0.0};
  std::vector<double> FreeSteps{0.0};
  std::vector<int16_t> FreeIndex{0};
};

// The Simplex minimizer's storage. It lives as long as the program so that a
// new run can continue from the simplex an earlier run left behind
// (SimplexStateKept); the minimizer owns its meaning.
struct SimplexState {
  Matrix SimplexVertices;            // rows: free parameters; columns: vertices, then the centroid
  std::vector<double> VertexValues;  // 1..FreeCount+1
  int16_t BestVertex = 1;
  int16_t WorstVertex = 1;
  int16_t BuiltForFreeCount = 0;     // the FreeCount the kept simplex belongs to
  std::vector<double> TrialPoint;
  std::vector<double> ExpansionPoint;
  double TrialValue = 0;
  std::vector<double> WorkVector;    // the full vector handed to EvaluateObjective
  int32_t IterationCount = 0;
  int16_t RestartCount = 0;
  int16_t ImprovedCount = 0;
  std::string AcceptedAction;
  int32_t TerminalCountdown = 0;
  int32_t FileCountdown = 0;
  int16_t StopFlag = 0;
  int16_t FinalReportFlag = 0;
  std::string ScreenText;
  // The lowest point evaluated in the current run, kept so that a numeric
  // fault can still leave the best point found in Values.
  bool HasLowest = false;
  double LowestValue = 0;
  std::vector<double> LowestPoint;   // free coordinates, 1-based
};

struct Workspace {
  Workspace();
  explicit Workspace(std::unique_ptr<Model> model);

  AlgorithmData Alg;
  std::unique_ptr<Model> model;

  // Model size as the model reported it at initialization.
  int16_t NumSpecies = 0;
  int16_t NumEstimated = 0;
  int32_t DataPointCount = 0;

  // File names; empty = none.
  std::string DataFileName;
  std::string DataFileTitle;
  std::string AlgorithmFileName;
  std::string AlgorithmShortName;
  std::string PriorsFileName;

  // Flags.
  std::string PriorsActive = kOff;
  std::string CovarianceResultsValid = kOff;
  std::string PosteriorEvaluationActive = kOff;
  std::string ProfileEvaluationActive = kOff;
  int16_t EvaluatedParameter = 0;
  bool InterruptML = false;
  bool InterruptBayes = false;
  bool InterruptFits = false;  // the interrupt of an analysis made of many fits (the jittered starts)
  bool InitializeAlready = false;
  bool SimplexStateKept = false;
  int32_t FunctionCallCount = 0;
  // The threads a grid's evaluations are spread over; the front ends ask
  // for every core. The results do not depend on it.
  int WorkerThreads = 1;
  // Set by CollectFreeParameters: the last parameter evaluation no longer
  // describes the current algorithm data.
  bool EvaluationResultsOutOfDate = true;

  PriorTable Priors;
  // The last prior computation: the unscaled term of each parameter and the
  // scaled total (ObjectiveScale x the sum of the terms).
  std::vector<double> PriorTerms;
  double PriorValue = 0;
  std::vector<LinkGroup> LinkGroups;
  FreeParameters Free;

  // The minimization log, opened and closed by the algorithm data editor.
  LogWriter Log;
  int16_t LogOpen = 0;  // -1 while open

  // Flags set by the analysis windows' buttons and read by the runs
  // between evaluations.
  int16_t SimplexInterrupt = 0;     // -1: the Simplex window's interrupt was pressed
  int16_t MarquardtInterrupt = 0;   // -1: the Marquardt window's interrupt was pressed

  // The derivative choice of the last Marquardt setup ("N", "A" or empty);
  // it also selects the decomposition failure text.
  std::string DerivativeMode;

  SimplexState Simplex;

  // The -ln[L] constant c entered at the "Enter constant" prompt is kept as
  // its reciprocal: -ln[L] = objective / ObjectiveScale. 0 until first asked.
  double ObjectiveScale = 0;
  // What the sum-of-squares suggestion of that prompt is made of: the free
  // count of the last covariance run and the last centre or minimum value.
  int16_t SuggestionFreeCount = 0;
  double SuggestionObjective = 0;

  // The last covariance results and the covariance windows' flags.
  CovarianceState Covariance;

  // The last likelihood profile or posterior: its table, summary and kind.
  // They describe the current algorithm data while EvaluationResultsOutOfDate
  // is false.
  EvaluationState Evaluation;

  bool AnyPriorSet() const;
};

// Applies the defaults to every parameter and setting (arrays sized to
// NumParameters; Descriptions stay those of the model).
void SetDefaultAlgorithmData(Workspace& ws);

// |Tolerance| below 1e-6 becomes 1e-6 with the read sign; exactly 0 stays 0.
void NormalizeTolerance(AlgorithmData& alg);

// "mmddhhmm" of the given local time followed by extension.
std::string DateTimeFileName(int month, int day, int hour, int minute, std::string_view extension);

// The model initialization (NF = 0) and the state reset that follows it.
// Throws InitializationError and leaves everything unchanged on failure.
void InitializeModel(Workspace& ws, const ModelInitOptions& options);

}  // namespace kalvex
