#include "batch/Batch.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <ostream>

#include "algorithm/AlgorithmCommands.h"
#include "batch/Commands.h"
#include "batch/Help.h"
#include "model/OskaneModel.h"
#include "ui/RunContext.h"
#include "workflow/MainMenu.h"
#include "workspace/Format.h"
#include "workspace/ThreadPool.h"

namespace kalvex::batch {
namespace {

constexpr const char* kTitle = "kalvex-batch";
constexpr int kMaxThreads = 1024;

const CommandSpec* FindCommand(const std::string& name) {
  for (const CommandSpec& entry : AllCommands())
    if (name == entry.name) return &entry;
  return nullptr;
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

// The options of the program itself, taken out of the words wherever they
// stand; the rest is the command line of the command.
struct ProgramOptions {
  bool help = false, version = false;
  BatchOutput output;
  std::vector<const char*> words;  // argv without them
};

ProgramOptions TakeProgramOptions(int argc, const char* const* argv, bool terminal) {
  ProgramOptions options;
  options.output.terminal = terminal;
  for (int i = 0; i < argc; ++i) {
    std::string_view word = argv[i];
    if (i > 0 && (word == "--help" || word == "-h")) options.help = true;
    else if (i > 0 && word == "--version") options.version = true;
    else if (i > 0 && word == "--verbose") options.output.verbose = true;
    else if (i > 0 && word == "--progress") options.output.progress = ProgressMode::Always;
    else if (i > 0 && word == "--quiet") options.output.progress = ProgressMode::Never;
    else options.words.push_back(argv[i]);
  }
  return options;
}

// Parses "COMMAND --name value ... --flag"; nullopt on wrong usage.
std::optional<Arguments> Parse(int argc, const char* const* argv, std::ostream& err) {
  if (argc < 2) return std::nullopt;
  Arguments args;
  args.command = argv[1];
  const CommandSpec* entry = FindCommand(args.command);
  if (!entry) {
    err << "kalvex-batch: unknown command '" << args.command << "'\n";
    return std::nullopt;
  }
  std::vector<std::string> valueOptions = {"species", "data", "alg", "priors", "constant"};
  valueOptions.insert(valueOptions.end(), entry->valueOptions.begin(), entry->valueOptions.end());
  for (int i = 2; i < argc; ++i) {
    std::string word = argv[i];
    if (word.rfind("--", 0) != 0) {
      err << "kalvex-batch: unexpected argument '" << word << "'\n";
      return std::nullopt;
    }
    std::string name = word.substr(2);
    if (Contains(entry->flagOptions, name)) {
      args.flags.insert(name);
    } else if (Contains(valueOptions, name) && i + 1 < argc) {
      args.options[name] = argv[++i];
      args.repeated[name].push_back(argv[i]);
    } else {
      err << "kalvex-batch: option '" << word << "' is unknown or lacks its value\n";
      return std::nullopt;
    }
  }
  std::vector<std::string> required = {"species", "data"};
  required.insert(required.end(), entry->requiredOptions.begin(), entry->requiredOptions.end());
  for (const std::string& name : required) {
    if (!args.options.count(name)) {
      err << "kalvex-batch: " << args.command << " needs --" << name << '\n';
      return std::nullopt;
    }
  }
  return args;
}

// Runs body; a numeric fault that no analysis reported itself gets the
// one-line "Numeric fault: ..." of bad input. False after a fault.
bool Guarded(BatchContext& context, const std::function<void()>& body) {
  RunContext run(context.ws, context.ui, {"", "Numeric fault", "", InterruptFlag::None});
  return !run.Run(body).faulted;
}

// Initializes the model and loads (or defaults) the algorithm data as the
// workbench's Initialize and Load commands do. Returns 0 or the exit code.
int SetUp(BatchContext& context) {
  Workspace& ws = context.ws;
  const Arguments& args = context.args;
  // Grids use every core unless told otherwise; the results are the same.
  ws.WorkerThreads = EveryCore();
  if (auto threads = args.Option("threads")) {
    std::optional<int> count = WholeNumberIn(*threads, 1, kMaxThreads);
    if (!count)
      return BadInput(context, kTitle, "--threads must be a whole number from 1 to " + std::to_string(kMaxThreads));
    ws.WorkerThreads = *count;
  }
  std::optional<int> species = WholeNumberIn(args.options.at("species"), 1, 25);
  if (!species) return BadInput(context, kTitle, "--species must be a whole number from 1 to 25");
  const ModelInitOptions init{*species, args.options.at("data")};
  if (!ConfirmModelInitialization(ws, context.ui, init)) return 1;
  try {
    if (!Guarded(context, [&] { InitializeModel(ws, init); })) return 1;
  } catch (const InitializationError& e) {
    context.ui.Message(e.Title(), e.what(), e.Style());
    return 1;
  }
  if (auto alg = args.Option("alg")) {
    AlgorithmReadResult read = LoadAlgorithmFile(ws, context.ui, *alg);
    if (read.status == AlgorithmReadStatus::OpenFailed)
      return BadInput(context, "Problem Reading Algorithm File!",
                      "Be suspicious that your algorithm file is not properly formatted (" + read.openError + ")");
    if (read.status != AlgorithmReadStatus::Read) return 1;
  } else {
    SetDefaultAlgorithmData(ws);
    ui::LocalDateTime now = context.ui.Now();
    ws.AlgorithmFileName = DateTimeFileName(now.month, now.day, now.hour, now.minute, ".alg");
    ws.AlgorithmShortName = ws.AlgorithmFileName;
  }
  return SetUpConstantAndPriors(context);
}

}  // namespace

std::optional<std::string> Arguments::Option(const std::string& name) const {
  auto it = options.find(name);
  if (it == options.end()) return std::nullopt;
  return it->second;
}

std::optional<int> WholeNumberIn(const std::string& text, int low, int high) {
  std::optional<double> number = ParseNumber(text);
  if (!number || !(*number >= low && *number <= high) || *number != std::trunc(*number)) return std::nullopt;
  return static_cast<int>(*number);
}

std::optional<CovarianceSettings> CovarianceSettingsOf(BatchContext& context) {
  CovarianceSettings settings;
  settings.objectiveScale = context.ws.ObjectiveScale;
  auto text = context.args.Option("grid-factors");
  if (!text) return settings;
  // "A,B,C": three positive factors.
  std::size_t start = 0;
  for (int g = 1; g <= kGridCount; ++g) {
    std::size_t comma = text->find(',', start);
    std::optional<double> value;
    if ((g < kGridCount) != (comma == std::string::npos))
      value = ParseNumber(std::string_view(*text).substr(start, comma - start));
    if (!value || !(*value > 0)) {
      BadInput(context, kTitle, "--grid-factors must be three positive numbers A,B,C");
      return std::nullopt;
    }
    settings.gridFactors[g] = *value;
    start = comma + 1;
  }
  return settings;
}

std::optional<MinimizerChoice> MinimizerChoiceOf(BatchContext& context) {
  const std::string minimizer = context.args.Option("minimizer").value_or("simplex");
  if (minimizer != "simplex" && minimizer != "marquardt") {
    BadInput(context, kTitle, "--minimizer must be simplex or marquardt");
    return std::nullopt;
  }
  MinimizerChoice choice{.marquardt = minimizer == "marquardt",
                         .analytical = context.args.flags.count("analytical") > 0};
  if (choice.analytical && !choice.marquardt) {
    BadInput(context, kTitle, "--analytical needs --minimizer marquardt");
    return std::nullopt;
  }
  return choice;
}

int BadInput(BatchContext& context, const std::string& title, const std::string& text) {
  context.ui.Message(title, text, ui::style::kCritical);
  return 1;
}

const std::vector<CommandSpec>& AllCommands() {
  static const std::vector<CommandSpec> commands = {
      {"eval", EvalCommand, {"values"}, {"derivatives"}, {},
       "eval [--values v1,v2,...] [--derivatives]   one function call at the values (and the exact derivatives)"},
      {"alg", AlgCommand, {"out"}, {}, {"alg", "out"}, "alg --alg FILE --out FILE       read, normalize and rewrite an algorithm file"},
      {"simplex", SimplexBatchCommand, {"log", "log-frequency", "out"}, {}, {},
       "simplex [--log FILE [--log-frequency N]] [--out FILE]     fit by the Simplex"},
      {"marquardt", MarquardtBatchCommand, {"log", "log-frequency", "out"}, {"analytical"}, {},
       "marquardt [--analytical] [--log FILE [--log-frequency N]] [--out FILE]   fit by Marquardt (numerical\n"
       "      derivatives; --analytical: the model's exact ones)"},
      {"summary", SummaryCommand, {"out", "plot"}, {"forecast"}, {"out"},
       "summary [--forecast] --out FILE [--plot FILE.png]          the results summary (and its plots)"},
      {"diagnostics", DiagnosticsCommand, {"out", "plot"}, {}, {"out"},
       "diagnostics --out FILE [--plot FILE.png]                   the residual diagnostics (and their pictures)"},
      {"jitter", JitterCommand, {"starts", "spread", "seed", "minimizer", "threads", "out", "plot"}, {"analytical"},
       {"out"},
       "jitter [--starts N] [--spread J] [--seed S] [--minimizer simplex|marquardt] [--analytical]\n"
       "      [--threads T] --out FILE.jit [--plot FILE.png]   fits from N starts jittered around the loaded\n"
       "      values on T threads (default: every core); prints start K OBJECTIVE END CALLS, best, reached, minima"},
      {"hindcast", HindcastCommand, {"peels", "minimizer", "out", "plot", "threads"}, {"analytical"}, {"out"},
       "hindcast [--peels H] [--minimizer simplex|marquardt] [--analytical] [--threads N] --out FILE.hnd\n"
       "      [--plot FILE.png]   refit without the last 1..H years, forecast each, score the forecasts"},
      {"priors", PriorsCommand, {"out"}, {}, {"priors", "out"},
       "priors --priors FILE --out FILE                             the priors read, written as the editor saves them"},
      {"prior-profile", PriorProfileCommand, {"parameter", "points", "out"}, {}, {"priors", "parameter", "out"},
       "prior-profile --parameter P [--points N] --out FILE.pdp     one parameter's prior profile"},
      {"review", ReviewCommand, {"out"}, {}, {"priors", "out"},
       "review --out FILE.rvp                                       the prior review at the loaded values"},
      {"covariance", CovarianceBatchCommand, {"grid-factors", "out", "threads"}, {"optimistic", "analytical"},
       {"constant", "out"},
       "covariance --constant C [--grid-factors A,B,C | --analytical] [--optimistic] [--threads N] --out FILE\n"
       "      the three Hessian grids (--analytical: the exact Hessian) at the loaded values and steps (no editor)\n"
       "      on N threads (default: every core), saved as the .cov file; prints grid G mean M sd S det D"},
      {"profile", ProfileBatchCommand,
       {"parameter", "points", "minimizer", "steps-from-grid", "grid-factors", "out", "plot"}, {"analytical"},
       {"constant", "parameter", "out"},
       "profile --constant C --parameter P [--points N] [--minimizer simplex|marquardt [--analytical]]\n"
       "      [--steps-from-grid G [--grid-factors A,B,C]] --out FILE.mlc [--plot FILE.png]   likelihood profile;\n"
       "      prints mode, expected, diff, se"},
      {"posterior", PosteriorBatchCommand,
       {"parameter", "points", "grid-points", "steps-from-grid", "grid-factors", "out", "grid", "plot", "threads"}, {},
       {"constant", "parameter", "out"},
       "posterior --constant C --parameter P [--points N] [--grid-points M]\n"
       "      [--steps-from-grid G [--grid-factors A,B,C]] [--threads N] --out FILE.pos [--grid FILE.grd]\n"
       "      [--plot FILE.png]   posterior over the other free parameters"},
      {"rank", RankCommand, {"chat", "out"}, {"average"}, {"alg", "constant", "out"},
       "rank --constant C --alg A1 --alg A2 ... [--chat X] [--average] --out FILE.mms  rank (and average) the models"},
      {"report", ReportCommand, {"jitter", "peels", "points", "grid-factors", "threads", "out"}, {"analytical"},
       {"alg", "out"},
       "report --alg A1 [--alg A2 ...] [--analytical] [--jitter N] [--peels H] [--points N]\n"
       "      [--grid-factors A,B,C] [--threads N] --out REPORT.html   every analysis of the first model (and the\n"
       "      ranking of all) in one HTML report, the analyses' files beside it"},
  };
  return commands;
}

int RunBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  return RunBatch(argc, argv, out, err, [] { return MakeOskaneModel(); });
}

int RunBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err, const RankRole& role) {
  return RunBatch(argc, argv, out, err, [] { return MakeOskaneModel(); }, role);
}

int RunBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
             const ModelFactory& makeModel, const RankRole& role) {
  // The progress line is drawn in place only on a terminal of our own.
  const bool terminal = &err == &std::cerr && isatty(STDERR_FILENO);
  ProgramOptions program = TakeProgramOptions(argc, argv, terminal);
  const int count = static_cast<int>(program.words.size());
  std::ostream nowhere(nullptr);  // no buffer: everything written is dropped
  std::ostream& shown = role.primary ? out : nowhere;
  if (program.version) {
    shown << "kalvex-batch " << Version() << '\n';
    return 0;
  }
  if (program.help && count < 2) {
    PrintProgramHelp(shown);
    return 0;
  }
  if (program.help) {
    if (const CommandSpec* entry = FindCommand(program.words[1])) {
      PrintCommandHelp(*entry, shown);
      return 0;
    }
  }
  std::optional<Arguments> args = Parse(count, program.words.data(), err);
  if (!args) {
    if (role.primary) PrintUsage(err);
    return 2;
  }
  if (!role.primary && args->command != "posterior") return 0;
  Workspace ws(makeModel());
  // The log the user named is replaced when the run ends, never emptied first.
  ws.Log.StageWrites();
  BatchFrontend frontend(err, program.output);
  if (!role.primary) frontend.ShowOnlyErrors(role.rank);
  BatchContext context{ws, frontend, *args, shown, err, role};
  int code = SetUp(context);
  if (code == 0 && !Guarded(context, [&] { code = FindCommand(args->command)->run(context); })) code = 1;
  frontend.EndRun(code != 0);
  return code;
}

}  // namespace kalvex::batch
