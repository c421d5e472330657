#include "batch/Help.h"

#include <ostream>
#include <string_view>

#include "batch/Commands.h"

#ifndef KALVEX_VERSION
#define KALVEX_VERSION "unknown"
#endif

namespace kalvex::batch {
namespace {

constexpr const char* kCommonOptions =
    "options every command takes:\n"
    "  --species S        number of species in the data file, 1 to 25\n"
    "  --data FILE        the data file the model is initialized from\n"
    "  --alg FILE         the algorithm file to load (default: the default algorithm data)\n"
    "  --priors FILE      a Bayesian priors file; needs --constant\n"
    "  --constant C       the \"Enter constant\" answer: C x objective = -ln[L] (0.5 for -2 ln L)\n"
    "  --verbose          also print the notes and the questions answered by policy\n"
    "  --progress         a progress line on standard error even when it is not a terminal\n"
    "  --quiet            no progress line\n"
    "  -h, --help         this help; COMMAND --help for one command\n"
    "  --version          the version\n";

constexpr const char* kExitStatus =
    "exit status:\n"
    "  0  done: the results are on standard output and in the files asked for\n"
    "  1  bad input or a failed analysis: the reason is on standard error\n"
    "  2  wrong usage: the usage is on standard error\n"
    "  130  stopped by Ctrl-C (143 by kill, 129 by a closed terminal): no file was replaced\n"
    "     but a --log, which then holds the run up to there\n";

constexpr const char* kOutput =
    "Results go to standard output, one \"name value\" per line. Warnings and errors go to\n"
    "standard error, one line \"title: text\" per message box; runs longer than a second show\n"
    "a progress line there when it is a terminal (count, rate, time remaining).\n"
    "--plot FILE writes a PNG picture, or a drawing to scale when FILE ends in .svg or .pdf.\n";

// What each command does and prints, by command name; one entry per command.
struct CommandText {
  std::string_view name, text;
};
constexpr CommandText kCommandTexts[] = {
    {"eval", "One function call at the algorithm file's values (or --values, one per parameter).\n"
             "Prints: objective, then value I V for every parameter as the model left it; with\n"
             "--derivatives then the model's exact derivatives of the objective there (NF = -2):\n"
             "gradient I G for every free parameter I and hessian I J H for free I <= J (parameter\n"
             "numbers; a linked group's derivatives on its lowest-numbered member, which moves it).\n"},
    {"alg", "Reads the algorithm file, checks and normalizes it, and writes it as the editor saves it.\n"},
    {"simplex", "Fits by the Simplex from the loaded values and steps; questions are answered No.\n"
                "Prints: ended, objective, iterations, function_calls, restarts.\n"
                "--out writes the fitted algorithm file, --log the minimizer's log.\n"},
    {"marquardt", "Fits by Marquardt with numerical derivatives (--analytical: the model's exact ones);\n"
                  "the other questions are answered No.\n"
                  "Prints: ended, objective, iterations, function_calls.\n"},
    {"summary", "Writes the results summary as its window saves it (with --forecast, the forecast\n"
                "table with its confidence bounds); --plot draws the summary plots as one picture.\n"},
    {"jitter", "Fits the model again from --starts N starts (default 50), each free parameter moved from its\n"
               "loaded value by J x u x max(|value|, |step|), u uniform on (-1, 1) from the generator of --seed S\n"
               "(default 1; the same seed gives the same starts everywhere) and J --spread (default 0.1), by\n"
               "the Simplex or Marquardt (numerical derivatives; --analytical: the model's) with the algorithm\n"
               "file's settings. The table is the same for any --threads.\n"
               "Prints: start K OBJECTIVE END CALLS per start (OBJECTIVE the minimum reached, - for none; END\n"
               "converged, limit, gave_up, decomposition_failed, error or fault), best OBJECTIVE, reached K N\n"
               "(the starts within the tolerance of the best of N), minima M (the distinct minima).\n"},
    {"hindcast", "Refits the model without its last h years for h = 1..H (--peels, default 5) from the loaded\n"
                 "values, by the Simplex or Marquardt (--analytical: the model's exact derivatives), on N\n"
                 "threads (default: every core; the results are the same), and forecasts each year left out\n"
                 "as the results summary forecasts. Prints: peel H YEAR FORECAST LOWER UPPER OBSERVED per\n"
                 "peel (YEAR the last year fitted, LOWER..UPPER the 95 % CI), then rmse, mae, bias of\n"
                 "ln(index), coverage K H, mase, and rho I VALUE per free parameter.\n"},
    {"priors", "Reads the priors file as the workbench loads it and writes it in the editor's columns.\n"
               "Prints: priors_active on|off.\n"},
    {"prior-profile", "Profiles one parameter's prior distribution over N points (.pdp file).\n"},
    {"review", "Reviews the priors at the loaded values (.rvp file).\n"},
    {"covariance", "The three numerical Hessian grids (step factors 1, 0.1, 0.01 unless --grid-factors)\n"
                   "at the loaded values and steps, or with --analytical the model's exact Hessian (grid\n"
                   "factors 0, three identical grids); --optimistic answers Yes to the optimistic-SE\n"
                   "question. Prints: grid G mean M sd S det D (M, S in -ln[L] units).\n"},
    {"profile", "The likelihood profile of one parameter: re-minimizes the others at each point (by\n"
                "Marquardt: with numerical derivatives, or the model's exact ones with --analytical).\n"
                "--steps-from-grid G runs the covariance grids first (with --grid-factors when given)\n"
                "and takes the steps from grid G's standard errors.\n"
                "Prints: mode, expected, diff, se.\n"},
    {"posterior", "The posterior of one parameter, integrated over the other free parameters (at most\n"
                  "six); --grid writes the bivariate grid when one parameter is integrated.\n"
                  "Prints: mode, expected, diff, se.\n"},
    {"rank", "Adds each --alg as a model in the order given (its covariance file: the same name with\n"
             ".cov), ranks them by AICc (QAICc when --chat is above 1) and with --average averages\n"
             "their estimates. Prints: model POSITION NUMBER CRITERION DELTA WEIGHT per model.\n"},
    {"report", "Fits each --alg model by Marquardt from its file's values (--analytical: exact derivatives,\n"
               "also for the covariances) and writes one HTML page REPORT.html for the first: the fit, the\n"
               "results summary with the forecast, the covariances, a likelihood profile of every free\n"
               "parameter (--points N, default 25), the residual diagnostics, the jittered starts (--jitter N,\n"
               "default 50; 0: none), the hindcast (--peels H, default 5; 0: none) and, with several --alg,\n"
               "the ranking and averaging of all. Beside it under its name: REPORT_fit.txt, REPORT.alg,\n"
               "REPORT_summary.kvo, REPORT.cov, REPORT_pP.mlc per parameter, REPORT.rsd, REPORT.jit,\n"
               "REPORT.hnd, REPORT_mM.alg and REPORT_mM.cov per other model, REPORT.mms; all saved as one.\n"
               "--constant defaults to 0.5 (the Oskane objective is -2 ln L). An analysis that fails is\n"
               "marked in its section and warned of at the top; the command fails only when nothing can be\n"
               "written. Prints: section ID done|failed|not_run, warnings N, file PATH per file.\n"},
};

}  // namespace

const char* Version() { return KALVEX_VERSION; }

void PrintUsage(std::ostream& out) {
  out << "usage: kalvex-batch COMMAND --species S --data FILE [--alg FILE] [--priors FILE --constant C] [options]\n"
         "       kalvex-batch [COMMAND] --help | --version\n"
         "commands:\n";
  for (const CommandSpec& entry : AllCommands()) out << "  " << entry.synopsis << '\n';
}

void PrintProgramHelp(std::ostream& out) {
  out << "kalvex-batch " << Version() << ": the workbench's analyses without windows, writing the files\n"
      << "the windows save.\n\n";
  PrintUsage(out);
  out << '\n' << kCommonOptions << '\n' << kOutput << '\n' << kExitStatus;
}

void PrintCommandHelp(const CommandSpec& command, std::ostream& out) {
  out << "usage: kalvex-batch " << command.name << " --species S --data FILE [--alg FILE] [--priors FILE --constant C]\n"
      << "       " << command.synopsis << "\n\n";
  for (const CommandText& entry : kCommandTexts)
    if (entry.name == command.name) out << entry.text << '\n';
  out << kCommonOptions << '\n' << kExitStatus;
}

}  // namespace kalvex::batch
