#include "batch/Batch.h"
#include "batch/Commands.h"
#include "batch/PlotPicture.h"
#include "batch/ProgressLine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "support/TestLocale.h"
#include "support/TestModels.h"
#include "workspace/Format.h"

namespace kalvex::batch {
namespace {

struct BatchRun {
  int code;
  std::string out, err;
};

BatchRun Batch(std::vector<std::string> words) {
  words.insert(words.begin(), "kalvex-batch");
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());
  std::ostringstream out, err;
  int code = RunBatch(static_cast<int>(argv.size()), argv.data(), out, err);
  return {code, out.str(), err.str()};
}

const std::string kData = std::string(KALVEX_EXAMPLES) + "/two_species.dat";
const std::string kAlg = std::string(KALVEX_EXAMPLES) + "/two_species.alg";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(BatchEval, PrintsTheObjectiveAndEveryValueAsTheModelLeftIt) {
  BatchRun run = Batch({"eval", "--species", "2", "--data", kData, "--alg", kAlg});
  ASSERT_EQ(run.code, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[0].rfind("objective ", 0), 0u);
  EXPECT_EQ(lines[1], "value 1 -0.2");
  EXPECT_EQ(lines[13], "value 13 1");
  EXPECT_TRUE(run.err.empty());
}

TEST(BatchEval, ValuesReplaceTheAlgorithmDataAndShowTheOmegaCorrection) {
  BatchRun run = Batch({"eval", "--species", "2", "--data", kData, "--values",
                   "-0.4,0.2,0.1,-0.06,0.3,0.08,0.04,-0.25,1.5,1000,3000,900,1"});
  ASSERT_EQ(run.code, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  EXPECT_EQ(lines[9], "value 9 0");  // an Omega above 1 comes back as 0
  double objective = std::stod(lines[0].substr(10));
  EXPECT_GT(objective, 2.4e19);  // with its penalty of 1e20 x 0.5 squared
}

TEST(BatchEval, BadInputExitsOneAfterItsMessage) {
  BatchRun count = Batch({"eval", "--species", "2", "--data", kData, "--values", "1,2,3"});
  EXPECT_EQ(count.code, 1);
  EXPECT_EQ(count.err, "kalvex-batch: --values needs exactly 13 numbers\n");
  BatchRun infinite = Batch({"eval", "--species", "2", "--data", kData, "--values", "1,2,1e400"});
  EXPECT_EQ(infinite.err, "kalvex-batch: --values needs exactly 13 numbers: value 3, \"1e400\", is not a finite number\n");
  BatchRun missing = Batch({"eval", "--species", "2", "--data", testing::TempDir() + "/none.dat"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("none.dat"), std::string::npos);
  BatchRun wrongCount = Batch({"eval", "--species", "3", "--data", std::string(KALVEX_EXAMPLES) + "/three_species.dat", "--alg", kAlg});
  EXPECT_EQ(wrongCount.code, 1);
  EXPECT_NE(wrongCount.err.find("Algorithm file - information input failed: Algorithm file  "), std::string::npos);
  BatchRun species = Batch({"eval", "--species", "26", "--data", kData});
  EXPECT_EQ(species.code, 1);
  BatchRun wider = Batch({"eval", "--species", "1", "--data", std::string(KALVEX_EXAMPLES) + "/three_species.dat"});
  EXPECT_EQ(wider.code, 1);  // the question is answered No
  EXPECT_TRUE(wider.err.starts_with("Initialize model: The lines of the data file ")) << wider.err;
}

TEST(BatchUsage, WrongUsageExitsTwoWithTheUsageText) {
  for (auto words : std::vector<std::vector<std::string>>{
           {}, {"nonsense"}, {"eval", "--species", "2"}, {"eval", "--species", "2", "--data", kData, "--bogus", "1"},
           {"alg", "--species", "2", "--data", kData, "--alg", kAlg}, {"eval", "stray"}}) {
    BatchRun run = Batch(words);
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("usage: kalvex-batch COMMAND"), std::string::npos);
  }
}

// The conventions of a command-line tool: help and version on standard
// output with exit 0, wrong usage 2, and a successful run says nothing on
// standard error unless asked to.
TEST(BatchUsage, HelpVersionAndQuietSuccess) {
  struct Row {
    std::vector<std::string> words;
    int code;
    std::string outStart;  // standard output begins with it
    std::string errHas;    // standard error holds it; empty: standard error is empty
  };
  std::vector<std::string> fit = {"--species", "2", "--data", kData, "--alg", kAlg};
  auto with = [&](std::vector<std::string> words) {
    words.insert(words.end(), fit.begin(), fit.end());
    return words;
  };
  std::vector<Row> rows = {
      {{"--help"}, 0, "kalvex-batch ", ""},
      {{"-h"}, 0, "kalvex-batch ", ""},
      {{"--version"}, 0, "kalvex-batch ", ""},
      {{"nonsense", "--help"}, 2, "", "usage: kalvex-batch COMMAND"},
      {with({"marquardt"}), 0, "ended converged\n", ""},
      {with({"simplex", "--quiet"}), 0, "ended converged\n", ""},
      {with({"marquardt", "--verbose"}), 0, "ended converged\n", "Marquardt minimum: Minimum found using Marquardt!\n"},
      {with({"--verbose", "simplex"}), 0, "ended converged\n", "Simplex minimum: Minimum found using Simplex!\n"},
  };
  for (const CommandSpec& command : AllCommands())
    rows.push_back({{command.name, "-h"}, 0, "usage: kalvex-batch " + std::string(command.name) + " ", ""});
  for (const Row& row : rows) {
    BatchRun run = Batch(row.words);
    std::string called = row.words.empty() ? "" : row.words[0] + " " + row.words.back();
    EXPECT_EQ(run.code, row.code) << called;
    EXPECT_TRUE(run.out.starts_with(row.outStart)) << called << ": " << run.out;
    if (row.errHas.empty())
      EXPECT_EQ(run.err, "") << called;
    else
      EXPECT_NE(run.err.find(row.errHas), std::string::npos) << called << ": " << run.err;
  }
  std::string help = Batch({"--help"}).out;
  for (const char* part : {"exit status:\n  0 ", "\n  1 ", "\n  2 ", "--progress", "--quiet", "--verbose"})
    EXPECT_NE(help.find(part), std::string::npos) << part;
}

// Only notes and questions answered by policy are kept back; a failure keeps
// its line whatever its icon.
TEST(BatchUsage, NotesAreToldFromWarningsAndErrors) {
  struct Row {
    const char* title;
    const char* text;
    int style;
    bool note;
  };
  using namespace ui::style;
  const Row rows[] = {
      {"Simplex minimum", "Minimum found using Simplex!", kCritical + kInformation, true},
      {"Calculate optimistic SEs only?", "Choose the quicker option?", kYesNo + kQuestion + kSecondDefault, true},
      {"Initialize model", "The lines of the data file ...", kYesNo + kExclamation + kSecondDefault, false},
      {"Marquart minimization stopped", "Maximum number of iterations reached", kInformation, false},
      {"Bayes information", "Bayesian priors file  x  has 3 parameters", kCritical + kInformation, false},
      {"Can't average models", "Sorry, the covariance file is missing", kOk, false},
  };
  for (const Row& row : rows) EXPECT_EQ(IsNote(row.title, row.text, row.style), row.note) << row.title;
}

// The progress line: not before a second has passed, then redrawn in place
// at most four times a second, and taken away at the end.
TEST(BatchUsage, ProgressLineCountsRatesAndTimesTheRun) {
  struct Row {
    ProgressMode mode;
    bool terminal;
    std::string expected;
  };
  const std::string first = "\r150 of 800 done, 75.0 a second, 0:09 remaining";
  const std::string last = "\r800 of 800 done, 200 a second, 0:00 remaining ";  // a blank covers the longer line
  const Row rows[] = {
      {ProgressMode::Auto, true, first + last + "\r" + std::string(last.size() - 1, ' ') + "\r"},
      {ProgressMode::Auto, false, ""},
      {ProgressMode::Always, false, first + last + "\n"},
      {ProgressMode::Never, true, ""},
  };
  for (const Row& row : rows) {
    std::ostringstream err;
    ProgressLine line(err, row.mode, row.terminal);
    line.Show({100, 800, 0.5});  // under a second: nothing yet
    line.Show({150, 800, 2.0});
    line.Show({210, 800, 2.1});  // too soon after the last one
    line.Show({800, 800, 4.0});  // the last step is always drawn
    line.End();
    EXPECT_EQ(err.str(), row.expected);
  }
  EXPECT_EQ(ProgressText({926, 0, 2.0}), "926 iterations, 463 a second");
}

TEST(BatchAlg, RewritesANormalizedAlgorithmFile) {
  std::string dir = testing::TempDir();
  std::string in = dir + "/tight.alg", out = dir + "/checked.alg";
  {
    std::ifstream source(kAlg, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(source)), {});
    // Tolerance line: the 16th line of a 13-parameter file.
    std::size_t at = 0;
    for (int line = 1; line < 15; ++line) at = text.find("\r\n", at) + 2;
    text.replace(at, 14, "-5.0000000E-07");
    std::ofstream(in, std::ios::binary) << text;
  }
  BatchRun run = Batch({"alg", "--species", "2", "--data", kData, "--alg", in, "--out", out});
  ASSERT_EQ(run.code, 0) << run.err;
  std::ifstream written(out, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(written)), {});
  EXPECT_NE(text.find("-1.0000000E-06  Simplex limit (+ for ABS, - for REL)\r\n"), std::string::npos);
  BatchRun unwritable = Batch({"alg", "--species", "2", "--data", kData, "--alg", in, "--out", dir + "/no/such/dir.alg"});
  EXPECT_EQ(unwritable.code, 1);
  EXPECT_EQ(unwritable.err.rfind("Save failed: ", 0), 0u);
}

}  // namespace
}  // namespace kalvex::batch

namespace kalvex::batch {
namespace {

std::map<std::string, std::string> Fields(const std::string& text) {
  std::map<std::string, std::string> fields;
  std::istringstream in(text);
  for (std::string name, value; in >> name >> value;) fields[name] = value;
  return fields;
}

TEST(BatchMinimize, BothMinimizersFitTheExampleAndWriteTheirResult) {
  std::string dir = testing::TempDir();
  BatchRun simplex = Batch({"simplex", "--species", "2", "--data", kData, "--alg", kAlg, "--out", dir + "/s.alg",
                            "--log", dir + "/s.kvl", "--log-frequency", "50"});
  ASSERT_EQ(simplex.code, 0) << simplex.err;
  auto s = Fields(simplex.out);
  EXPECT_EQ(s["ended"], "converged");
  EXPECT_TRUE(s.count("restarts"));
  BatchRun marquardt = Batch({"marquardt", "--species", "2", "--data", kData, "--alg", kAlg, "--out", dir + "/m.alg"});
  ASSERT_EQ(marquardt.code, 0) << marquardt.err;
  auto m = Fields(marquardt.out);
  EXPECT_EQ(m["ended"], "converged");
  EXPECT_FALSE(m.count("restarts"));
  EXPECT_NEAR(std::stod(s["objective"]), std::stod(m["objective"]), 1e-3);
  // The written result evaluates to the reported minimum.
  BatchRun check = Batch({"eval", "--species", "2", "--data", kData, "--alg", dir + "/m.alg"});
  ASSERT_EQ(check.code, 0) << check.err;
  EXPECT_NEAR(std::stod(Fields(check.out)["objective"]), std::stod(m["objective"]), 1e-5);
  std::ifstream log(dir + "/s.kvl", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(log)), {});
  EXPECT_NE(text.find("Initial parameter values:\r\n"), std::string::npos);
  EXPECT_NE(text.find("This result required "), std::string::npos);
}

TEST(BatchMinimize, NothingToDoIsBadInput) {
  std::string truth = std::string(KALVEX_EXAMPLES) + "/two_species_true.alg";
  BatchRun run = Batch({"simplex", "--species", "2", "--data", kData, "--alg", truth});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "There is nothing to do!: All step sizes are zero\n");
  EXPECT_EQ(Batch({"marquardt", "--species", "2", "--data", kData, "--log-frequency", "3"}).code, 1);
}

}  // namespace
}  // namespace kalvex::batch

namespace kalvex::batch {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST(BatchSummary, WritesTheReportAsTheWindowSavesItWithForecastAndPicture) {
  if (!PlotPicturesBuilt()) GTEST_SKIP() << "this build draws no pictures";
  std::string dir = testing::TempDir();
  ASSERT_EQ(Batch({"simplex", "--species", "2", "--data", kData, "--alg", kAlg, "--out", dir + "/fit.alg"}).code, 0);
  std::string report = dir + "/fit.kvo", picture = dir + "/fit.png";
  BatchRun run = Batch({"summary", "--species", "2", "--data", kData, "--alg", dir + "/fit.alg", "--forecast",
                        "--out", report, "--plot", picture});
  ASSERT_EQ(run.code, 0) << run.err;
  std::string text = Slurp(report);
  EXPECT_EQ(text.rfind("Originally saved with the file name: " + report + "\r\n\r\nResults of an Oskane", 0), 0u);
  EXPECT_NE(text.find("The ln[forecasted harvest rate index] for time period f is:"), std::string::npos);
  EXPECT_NE(text.find("\r\nDone!\r\n"), std::string::npos);
  EXPECT_EQ(Slurp(picture).substr(1, 3), "PNG");

  BatchRun plain = Batch({"summary", "--species", "2", "--data", kData, "--alg", dir + "/fit.alg", "--out", report});
  ASSERT_EQ(plain.code, 0) << plain.err;
  EXPECT_EQ(Slurp(report).find("forecasted"), std::string::npos);
}

// Standard error carries the program's own messages, one per line: nothing
// from the picture library, whatever the environment lacks; not even from
// the fonts a PDF embeds.
TEST(BatchSummary, APictureAddsNothingToStandardError) {
  if (!PlotPicturesBuilt()) GTEST_SKIP() << "this build draws no pictures";
  std::string dir = testing::TempDir();
  std::string picture = dir + "/quiet.pdf", errors = dir + "/quiet.err";
  std::string command = "env -u XDG_RUNTIME_DIR -u DISPLAY '" + std::string(KALVEX_BATCH_EXE) +
                        "' summary --species 2 --data '" + kData + "' --alg '" + kAlg + "' --out '" + dir +
                        "/quiet.kvo' --plot '" + picture + "' >/dev/null 2>'" + errors + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << Slurp(errors);
  EXPECT_EQ(Slurp(picture).substr(0, 5), "%PDF-");
  EXPECT_EQ(Slurp(errors), "");
}

TEST(BatchSummary, WithoutPicturesAPlotIsRefusedBeforeAnyFile) {
  if (PlotPicturesBuilt()) GTEST_SKIP() << "this build draws pictures";
  std::string dir = testing::TempDir();
  std::string report = dir + "/refused.kvo", picture = dir + "/refused.png";
  BatchRun run = Batch({"summary", "--species", "2", "--data", kData, "--alg", kAlg, "--out", report, "--plot", picture});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "kalvex-batch: this build draws no pictures: --plot needs the build with the Qt workbench\n");
  EXPECT_FALSE(std::ifstream(report).good());
  EXPECT_FALSE(std::ifstream(picture).good());
}

TEST(BatchSummary, AFaultWritesNoFile) {
  std::string dir = testing::TempDir();
  std::string report = dir + "/fault.kvo";
  // A forecast effort of 0 makes its logarithm fail.
  BatchRun run = Batch({"summary", "--species", "2", "--data", kData, "--forecast", "--out", report, "--values"});
  EXPECT_EQ(run.code, 2);  // --values belongs to eval only
  std::string alg = dir + "/zero_effort.alg";
  std::string text = Slurp(kAlg);
  std::size_t line10 = 0;
  for (int line = 1; line < 11; ++line) line10 = text.find("\r\n", line10) + 2;
  text.replace(line10, 14, " 0.0000000E+00");
  std::ofstream(alg, std::ios::binary) << text;
  run = Batch({"summary", "--species", "2", "--data", kData, "--alg", alg, "--forecast", "--out", report});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("Invalid procedure call or argument The fault arose while computing the forecast for "
                         "time period f."),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(std::ifstream(report).good());
}

// Everything a run reads and writes: the data file, an algorithm file in and
// out, a Marquardt fit, the summary report and the number texts of input boxes.
std::string ReadAndWritten(const std::string& dir) {
  std::string fit = dir + "/locale.alg", report = dir + "/locale.kvo";
  std::string seen;
  for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
           {"eval", "--species", "2", "--data", kData, "--alg", kAlg},
           {"marquardt", "--species", "2", "--data", kData, "--alg", kAlg, "--out", fit},
           {"summary", "--species", "2", "--data", kData, "--alg", fit, "--forecast", "--out", report}}) {
    BatchRun run = Batch(words);
    seen += std::to_string(run.code) + "\n" + run.out + run.err;
  }
  seen += Slurp(fit) + Slurp(report);
  for (const char* input : {"0.45", "-1.5E-03", " 2,5", "1e400"})
    seen += ShortestText(Val(input)) + " " + ShortestText(ParseNumber(input).value_or(-1)) + "\n";
  return seen + FormatNumber(0.45, "####0.#####") + GeneralNumber(-1.5e-7) + "\n";
}

// QApplication sets the process locale from the environment; a comma-decimal
// one must change no number read or written.
TEST(BatchLocale, ACommaDecimalProcessLocaleChangesNoNumber) {
  if (std::string problem = testing::PrepareLocale(testing::kCommaLocale); !problem.empty()) GTEST_SKIP() << problem;
  std::string dir = testing::TempDir();
  std::string underC = ReadAndWritten(dir);
  ASSERT_EQ(underC.rfind("0\nobjective ", 0), 0u) << underC;
  testing::ScopedProcessLocale comma(testing::kCommaLocale);
  ASSERT_TRUE(comma.ok());
  ASSERT_EQ(std::strtod("0.45", nullptr), 0.0);  // the C library's reading there
  EXPECT_EQ(ReadAndWritten(dir), underC);
}

}  // namespace
}  // namespace kalvex::batch

namespace kalvex::batch {
namespace {

// A command that fails leaves the files the user had as they were; a fit
// whose log could not be written still writes its result.
TEST(BatchFailures, FailedCommandsKeepTheUsersFiles) {
  const std::string dir = testing::TempDir() + "/failures";
  std::filesystem::create_directories(dir);
  const std::string good = dir + "/good.alg", report = dir + "/good.kvo";
  const std::string pos = dir + "/p.pos", grd = dir + "/p.grd", missing = dir + "/missing";
  const std::vector<std::string> posterior = {"posterior", "--alg", testing::TestData("evaluation/posterior_ranks.alg"),
                                              "--constant", "0.5", "--parameter", "1", "--points", "3",
                                              "--grid-points", "5"};
  auto with = [](std::vector<std::string> words, std::vector<std::string> more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
  };
  std::string overflow = Slurp(kAlg);
  overflow.replace(overflow.find("-2.0000000E-01   1.0000000E-01"), 30, "1.0000000E+308   1.0000000E-01");
  overflow.replace(overflow.find(" 1.0000000E-01   1.0000000E-01"), 30, "1.0000000E+308   1.0000000E-01");
  std::ofstream(dir + "/overflow.alg", std::ios::binary) << overflow;
  struct Case {
    const char* name;
    std::vector<std::string> words;
    std::string message;              // the start of a line of standard error
    std::vector<std::string> kept;    // files that must keep their old bytes
    std::vector<std::string> absent;  // files that must not exist
    std::string written;              // a file that must have new bytes ("" = none)
    int code = 1;
  };
  std::vector<Case> cases = {
      {"faulted fit", {"marquardt", "--alg", dir + "/overflow.alg", "--out", good},
       "Marquardt minimization: Numeric fault: Overflow", {good}, {}, ""},
      {"log on a full disk", {"simplex", "--alg", kAlg, "--out", good, "--log", "/dev/full"},
       "Save failed: The minimization log could not be written to /dev/full: No space left on device", {}, {},
       good},
      // A posterior's report and grid are one save: neither is replaced when the other fails.
      {"grid into a missing folder", with(posterior, {"--out", pos, "--grid", missing + "/p.grd"}),
       "Save failed: The grid values could not be saved to " + missing + "/p.grd: No such file or directory", {pos},
       {missing}, ""},
      {"report into a missing folder", with(posterior, {"--out", missing + "/p.pos", "--grid", grd}),
       "Save failed: The report could not be saved to " + missing + "/p.pos", {grd}, {missing}, ""},
  };
  if (PlotPicturesBuilt()) {
    cases.push_back({"picture into a missing folder",
                     {"summary", "--alg", kAlg, "--out", report, "--plot", dir + "/missing/plot.png"},
                     "Save failed: The picture could not be saved to " + dir + "/missing/plot.png: No such file or directory",
                     {report}, {dir + "/missing"}, ""});
    cases.push_back({"new report beside a missing folder",
                     {"summary", "--alg", kAlg, "--out", dir + "/new.kvo", "--plot", dir + "/missing/plot.png"},
                     "Save failed: The picture", {}, {dir + "/new.kvo"}, ""});
  }
  for (const Case& c : cases) {
    for (const std::string& path : {good, report, pos, grd}) std::ofstream(path, std::ios::binary) << "old bytes\r\n";
    std::vector<std::string> words = c.words;
    words.insert(words.begin() + 1, {"--species", "2", "--data", kData});
    BatchRun run = Batch(words);
    EXPECT_EQ(run.code, c.code) << c.name << ": " << run.err;
    EXPECT_NE(("\n" + run.err).find("\n" + c.message), std::string::npos) << c.name << ": " << run.err;
    for (const std::string& path : c.kept) EXPECT_EQ(Slurp(path), "old bytes\r\n") << c.name << ": " << path;
    for (const std::string& path : c.absent) EXPECT_FALSE(std::filesystem::exists(path)) << c.name << ": " << path;
    if (!c.written.empty()) {
      EXPECT_NE(Slurp(c.written), "old bytes\r\n") << c.name;
    }
  }
}

// A fitted example with a fixed parameter and a linked pair: the .cov file
// byte for byte (the step of 0.1 is too coarse for grid 1, whose Hessian is
// not positive-definite), one summary line per grid, the reason of grid 1
// on standard error; the same on every core (the default), on one thread
// and on three.
TEST(BatchCovariance, WritesTheCovarianceFileAsTheWindowSavesIt) {
  std::string dir = testing::TempDir();
  std::string out = dir + "/fitted.cov";
  for (std::vector<std::string> threads : {std::vector<std::string>{}, {"--threads", "1"}, {"--threads", "3"}}) {
    SCOPED_TRACE(threads.empty() ? "every core" : threads[1] + " threads");
    std::vector<std::string> words = {"covariance", "--species", "2", "--data", kData, "--alg",
                                      testing::TestData("two_species_fitted.alg"), "--constant", "0.5", "--out", out};
    words.insert(words.end(), threads.begin(), threads.end());
    BatchRun run = Batch(words);
    ASSERT_EQ(run.code, 0) << run.err;
    std::string expected = Slurp(testing::TestData("two_species_fitted.cov"));
    expected.replace(0, expected.find("\r\n"), "Originally saved with the file name: " + out);
    EXPECT_EQ(Slurp(out), expected);
    EXPECT_EQ(run.out,
              "grid 1 mean -3.850284212500398 sd 20.262680059328154 det -1\n"
              "grid 2 mean -51.91036826368274 sd 1.636039861012541 det 5.930788032543732e-27\n"
              "grid 3 mean -54.17177750131129 sd 0.01850545558251981 det 1.5122178915164242e-27\n");
    EXPECT_NE(run.err.find("Covariance calculations: Grid #1: Sorry, this Hessian matrix is not positive-definite;"),
              std::string::npos);
    EXPECT_NE(run.err.find("failed at parameter # 8\n"), std::string::npos);
  }
}

// The fitted example (a fixed parameter, a linked pair) from eight starts:
// the .jit file byte for byte and the same table on every core, on one
// thread, on three and on two again, by each minimizer; the picture beside.
TEST(BatchJitter, WritesTheReportAsTheWindowSavesItOnAnyNumberOfThreads) {
  std::string dir = testing::TempDir();
  const std::string alg = testing::TestData("two_species_fitted.alg");
  std::string expected = Slurp(testing::TestData("checks/two_species_fitted.jit"));
  expected.replace(expected.find("@DATA@"), 6, kData);
  expected.replace(expected.find("@ALG@"), 5, alg);
  for (const char* minimizer : {"simplex", "marquardt"}) {
    std::string first;
    for (std::vector<std::string> threads :
         {std::vector<std::string>{}, {"--threads", "1"}, {"--threads", "3"}, {"--threads", "2"}}) {
      SCOPED_TRACE(std::string(minimizer) + (threads.empty() ? " on every core" : " on " + threads[1] + " threads"));
      const std::string out = dir + "/" + minimizer + std::to_string(threads.size()) + ".jit";
      std::vector<std::string> words = {"jitter", "--species", "2", "--data", kData, "--alg", alg, "--starts", "8",
                                        "--spread", "0.5", "--seed", "2024", "--minimizer", minimizer, "--out", out};
      words.insert(words.end(), threads.begin(), threads.end());
      BatchRun run = Batch(words);
      ASSERT_EQ(run.code, 0) << run.err;
      std::string text = Slurp(out);
      text.erase(0, text.find("\r\n"));  // the saved-as line names the file
      if (first.empty()) first = run.out + text;
      EXPECT_EQ(run.out + text, first);
      if (std::string(minimizer) == "simplex")
        EXPECT_EQ(text, expected.substr(expected.find("\r\n")));
    }
    EXPECT_EQ(Lines(first.substr(0, first.find("\r\n"))).size(), 11u);
    if (std::string(minimizer) == "simplex")
      EXPECT_NE(first.find("start 8 -108.39280853826222 converged 573\nbest -108.39281029130954\nreached 5 8\nminima 3\n"),
                std::string::npos);
  }
  if (!PlotPicturesBuilt()) return;
  BatchRun pictured = Batch({"jitter", "--species", "2", "--data", kData, "--alg", alg, "--starts", "3", "--out",
                             dir + "/p.jit", "--plot", dir + "/p.png"});
  ASSERT_EQ(pictured.code, 0) << pictured.err;
  EXPECT_EQ(Slurp(dir + "/p.png").substr(1, 3), "PNG");
}

TEST(BatchCovariance, OptionsAreChecked) {
  std::string out = testing::TempDir() + "/never.cov";
  for (auto extra : std::vector<std::vector<std::string>>{{"--constant", "1", "--grid-factors", "1,0.1"},
                                                          {"--constant", "1", "--grid-factors", "1,0,0.01"},
                                                          {"--constant", "1", "--grid-factors", "1,abc,0.01"},
                                                          {"--constant", "1", "--threads", "0"},
                                                          {"--constant", "1", "--threads", "1.5"}}) {
    std::vector<std::string> words = {"covariance", "--species", "2", "--data", kData, "--alg", kAlg, "--out", out};
    words.insert(words.end(), extra.begin(), extra.end());
    BatchRun run = Batch(words);
    EXPECT_EQ(run.code, 1) << extra[2];
    EXPECT_EQ(run.err.rfind("kalvex-batch: --", 0), 0u) << run.err;
  }
  EXPECT_FALSE(std::ifstream(out).good());
}

TEST(BatchPriors, FitsEvaluationsProfilesAndReviewsRunOnThePriorsRead) {
  std::string dir = testing::TempDir();
  std::string priors = dir + "/two.pri";
  std::string table = "13\r\n";
  for (int i = 1; i <= 13; ++i) {
    std::string index = (i < 10 ? "  " : " ") + std::to_string(i);
    table += i == 1 ? index + "   N 0.000E+000 1.000E-001     Unused     Unused   Gaussian or Normal\r\n"
                    : index + "   U 1.000E-100 1.000E-100     Unused     Unused   Uniform - unbounded\r\n";
  }
  std::ofstream(priors, std::ios::binary) << table;
  std::vector<std::string> base = {"--species", "2", "--data", kData, "--alg", kAlg, "--priors", priors};
  auto with = [&](std::vector<std::string> words, std::vector<std::string> more = {}) {
    words.insert(words.end(), base.begin(), base.end());
    words.insert(words.end(), more.begin(), more.end());
    return Batch(words);
  };

  BatchRun check = with({"priors", "--out", dir + "/checked.pri"});
  ASSERT_EQ(check.code, 0) << check.err;
  EXPECT_EQ(check.out, "priors_active on\n");
  EXPECT_EQ(Slurp(dir + "/checked.pri"), table);

  // Parameter 1 sits at -0.2, two SDs from its prior mean: 2 in -ln[L], 1 in objective units.
  BatchRun plain = Batch({"eval", "--species", "2", "--data", kData, "--alg", kAlg});
  BatchRun posterior = with({"eval", "--constant", "2"});
  ASSERT_EQ(posterior.code, 0) << posterior.err;
  EXPECT_NEAR(std::stod(Fields(posterior.out)["objective"]), std::stod(Fields(plain.out)["objective"]) + 1, 1e-9);
  EXPECT_EQ(with({"eval"}).err,
            "kalvex-batch: --priors needs --constant C, the constant that makes the objective the -ln[L]\n");
  EXPECT_EQ(with({"eval", "--constant", "0"}).code, 1);

  BatchRun profile = with({"prior-profile", "--parameter", "1", "--points", "4", "--out", dir + "/p.pdp"});
  ASSERT_EQ(profile.code, 0) << profile.err;
  EXPECT_EQ(Fields(profile.out)["points"], "5");
  EXPECT_EQ(Slurp(dir + "/p.pdp").rfind("Originally saved with the file name: " + dir +
                                            "/p.pdp\r\n\r\nBayesian prior distribution data\r\n",
                                        0),
            0u);
  EXPECT_EQ(with({"prior-profile", "--parameter", "2", "--out", dir + "/u.pdp"}).code, 1);

  BatchRun review = with({"review", "--constant", "2", "--out", dir + "/r.rvp"});
  ASSERT_EQ(review.code, 0) << review.err;
  EXPECT_EQ(review.out, "prior_value 1\n");
  EXPECT_NE(Slurp(dir + "/r.rvp").find("Parameter   1 at -2.000E-01 has a prior -ln[L] of     2.00"), std::string::npos);
}

TEST(BatchEvaluation, ProfileAndPosteriorWriteTheirReportsAndPrintTheSummary) {
  const std::string dir = testing::TempDir();
  const std::string fitted = testing::TestData("two_species_fitted.alg");
  BatchRun profile = Batch({"profile", "--species", "2", "--data", kData, "--alg", fitted, "--constant", "0.5",
                            "--parameter", "1", "--points", "3", "--out", dir + "/p.mlc"});
  ASSERT_EQ(profile.code, 0) << profile.err;
  std::vector<std::string> lines = Lines(profile.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].rfind("mode ", 0), 0u);
  EXPECT_EQ(lines[3].rfind("se ", 0), 0u);
  std::ifstream report(dir + "/p.mlc", std::ios::binary);
  std::string first;
  std::getline(report, first);
  EXPECT_EQ(first, "Originally saved with the file name: " + dir + "/p.mlc\r");

  // The steps from a grid made with the factors given, as the window's
  // prompts give them: other factors, other steps, another profile.
  std::vector<std::string> fromGrid = {"profile", "--species", "2", "--data", kData, "--alg", fitted, "--constant", "0.5",
                                       "--parameter", "1", "--points", "3", "--steps-from-grid", "3", "--out",
                                       dir + "/g.mlc"};
  BatchRun defaults = Batch(fromGrid);
  fromGrid.insert(fromGrid.end(), {"--grid-factors", "1,0.1,0.01"});
  BatchRun same = Batch(fromGrid);
  fromGrid.back() = "2,0.2,0.02";
  BatchRun other = Batch(fromGrid);
  ASSERT_EQ(defaults.code + same.code + other.code, 0) << defaults.err << same.err << other.err;
  EXPECT_EQ(same.out, defaults.out);
  EXPECT_NE(other.out, defaults.out);

  // Six integrated parameters on a grid of three, the most the posterior takes.
  BatchRun posterior = Batch({"posterior", "--species", "2", "--data", kData, "--alg", fitted, "--constant", "0.5",
                              "--parameter", "1", "--points", "3", "--grid-points", "3", "--out", dir + "/p.pos"});
  ASSERT_EQ(posterior.code, 0) << posterior.err;
  EXPECT_EQ(Lines(posterior.out).size(), 4u);

  struct Bad {
    std::vector<std::string> options;
    const char* says;
  };
  const Bad bad[] = {
      {{"--parameter", "14"}, "--parameter must be a whole number from 1 to 13"},
      {{"--parameter", "1", "--points", "1002"}, "--points must be a number from 0 to 1001"},
      {{"--parameter", "1", "--minimizer", "newton"}, "--minimizer must be simplex or marquardt"},
      {{"--parameter", "1", "--steps-from-grid", "4"}, "--steps-from-grid must be 1, 2 or 3"},
      {{"--parameter", "1", "--steps-from-grid", "3", "--grid-factors", "1,0.1"},
       "--grid-factors must be three positive numbers A,B,C"},
      {{"--parameter", "2"}, "The parameter chosen has a step size of zero; please try again"},
  };
  for (const Bad& row : bad) {
    std::vector<std::string> words = {"profile", "--species", "2", "--data", kData, "--alg", fitted,
                                      "--constant", "0.5", "--out", dir + "/bad.mlc"};
    words.insert(words.end(), row.options.begin(), row.options.end());
    BatchRun run = Batch(words);
    EXPECT_EQ(run.code, 1) << row.says;
    EXPECT_NE(run.err.find(row.says), std::string::npos) << run.err;
  }
  BatchRun tooMany = Batch({"posterior", "--species", "2", "--data", kData, "--alg", kAlg, "--constant", "0.5",
                            "--parameter", "1", "--out", dir + "/bad.pos"});
  EXPECT_EQ(tooMany.code, 1);
  EXPECT_NE(tooMany.err.find("Too many free parameters - maximum is 6"), std::string::npos);
  EXPECT_FALSE(std::ifstream(dir + "/bad.mlc") || std::ifstream(dir + "/bad.pos"));
}

}  // namespace
}  // namespace kalvex::batch

namespace kalvex::batch {
namespace {

// An MPI rank other than 0 runs the posterior (the same nodes, in step with
// rank 0) but prints and writes nothing, and skips every other command.
TEST(BatchEvaluation, ASecondaryRankWritesNothing) {
  const std::string dir = testing::TempDir() + "/secondary";
  std::filesystem::create_directories(dir);
  RankRole secondary;
  secondary.primary = false;
  auto run = [&](std::vector<std::string> words) {
    words.insert(words.begin(), "kalvex-batch");
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    std::ostringstream out, err;
    const int code = RunBatch(static_cast<int>(argv.size()), argv.data(), out, err, secondary);
    return BatchRun{code, out.str(), err.str()};
  };
  const std::vector<BatchRun> runs = {
      run({"posterior", "--species", "2", "--data", kData, "--alg", testing::TestData("evaluation/posterior_ranks.alg"),
           "--constant", "0.5", "--parameter", "1", "--points", "3", "--grid-points", "5", "--out", dir + "/p.pos",
           "--grid", dir + "/p.grd"}),
      run({"alg", "--species", "2", "--data", kData, "--alg", kAlg, "--out", dir + "/checked.alg"}),
  };
  for (const BatchRun& r : runs) {
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir));
}

TEST(BatchRank, RanksTheModelsByTheAICcOfTheirSummaries) {
  std::string dir = testing::TempDir();
  const std::string trueAlg = std::string(KALVEX_EXAMPLES) + "/two_species_true.alg";
  std::vector<std::string> common = {"--species", "2", "--data", kData, "--constant", "0.5"};
  auto words = [&](std::vector<std::string> more) {
    more.insert(more.begin() + 1, common.begin(), common.end());
    return more;
  };
  BatchRun run = Batch(words({"rank", "--alg", kAlg, "--alg", trueAlg, "--out", dir + "/two.mms"}));
  ASSERT_EQ(run.code, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("model 1 2 ", 0), 0u);  // the true values fit better
  EXPECT_EQ(lines[0].substr(lines[0].size() - 4), " 0 1");
  ASSERT_EQ(lines[1].rfind("model 2 1 ", 0), 0u);
  // The fit's AICc is the one its results summary prints.
  ASSERT_EQ(Batch(words({"summary", "--alg", kAlg, "--out", dir + "/fit.kvo"})).code, 0);
  std::string criterion = RightJustify(FormatNumber(std::stod(lines[1].substr(10)), "0.0000E+00"), 12);
  EXPECT_NE(Slurp(dir + "/fit.kvo").find("(AICc, Corrant & Vesk 1998) is: " + criterion), std::string::npos);
  EXPECT_EQ(Lines(Slurp(dir + "/two.mms"))[0], "     2 < Number of models ranked\r");

  struct Bad {
    std::vector<std::string> words;
    const char* err;
  };
  for (const Bad& bad : {Bad{{"rank", "--alg", kAlg, "--out", dir + "/bad.mms"},
                             "kalvex-batch: rank needs two or more --alg files to rank\n"},
                         Bad{{"rank", "--alg", kAlg, "--alg", trueAlg, "--chat", "0.5", "--out", dir + "/bad.mms"},
                             "kalvex-batch: --chat must be a number of at least 1\n"},
                         Bad{{"rank", "--alg", kAlg, "--alg", trueAlg, "--average", "--out", dir + "/bad.mms"},
                             "Can't average models: Sorry, the covariance file is missing for at least one ranked "
                             "model\n"}}) {
    BatchRun failed = Batch(words(bad.words));
    EXPECT_EQ(failed.code, 1) << bad.err;
    EXPECT_EQ(failed.err, bad.err);
  }
  EXPECT_FALSE(std::ifstream(dir + "/bad.mms").good());  // a run that fails writes nothing
}

// The model's exact derivatives behind each command's flag: eval's lines byte
// for byte, analytical Marquardt from the example's start, the analytical
// .cov file as the calculator saves it, a profile re-minimized by them; and
// the flag refused where it has no meaning.
TEST(BatchDerivatives, TheFlagsOfTheExactDerivatives) {
  const std::string dir = testing::TempDir();
  const std::string fitted = testing::TestData("two_species_fitted.alg");
  struct Case {
    std::vector<std::string> words;
    int code;
    std::string out, err;
    std::string written, expectedFile;  // a file the command writes, and its expected bytes after the first line
  };
  const std::vector<Case> cases = {
      {{"eval", "--alg", fitted, "--derivatives"}, 0,
       Slurp(testing::TestData("batch/two_species_fitted_derivatives.txt")), ""},
      {{"marquardt", "--alg", kAlg, "--analytical"}, 0,
       "ended converged\nobjective -121.48916664132223\niterations 12\nfunction_calls 21\n", ""},
      {{"covariance", "--alg", fitted, "--constant", "0.5", "--analytical", "--out", dir + "/exact.cov"}, 0,
       "grid 1 mean 0 sd 0 det 1.6348935304383013e-27\ngrid 2 mean 0 sd 0 det 1.6348935304383013e-27\n"
       "grid 3 mean 0 sd 0 det 1.6348935304383013e-27\n",
       "", dir + "/exact.cov", testing::TestData("two_species_fitted_analytical.cov")},
      {{"profile", "--alg", fitted, "--constant", "0.5", "--parameter", "1", "--points", "5", "--minimizer",
        "marquardt", "--analytical", "--out", dir + "/exact.mlc"},
       0, "mode -0.43222465\nexpected -0.4331432832061154\ndiff 0.0009186332061154046\nse 0.05038430797289817\n", ""},
      {{"profile", "--alg", fitted, "--constant", "0.5", "--parameter", "1", "--analytical", "--out", dir + "/no.mlc"},
       1, "", "kalvex-batch: --analytical needs --minimizer marquardt\n"},
      {{"covariance", "--alg", fitted, "--constant", "0.5", "--analytical", "--grid-factors", "1,1,1", "--out",
        dir + "/no.cov"},
       1, "", "kalvex-batch: --grid-factors are for numerical grids: --analytical takes none\n"},
      {{"simplex", "--analytical"}, 2, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words[0] + " " + c.words.back());
    std::vector<std::string> words = c.words;
    words.insert(words.begin() + 1, {"--species", "2", "--data", kData});
    BatchRun run = Batch(words);
    EXPECT_EQ(run.code, c.code) << run.err;
    EXPECT_EQ(run.out, c.out);
    if (c.code != 2) EXPECT_EQ(run.err, c.err);
    if (c.written.empty()) continue;
    const std::string written = Slurp(c.written), expected = Slurp(c.expectedFile);
    EXPECT_EQ(written.substr(written.find("\r\n")), expected.substr(expected.find("\r\n")));
  }
  EXPECT_FALSE(std::ifstream(dir + "/no.mlc").good());
  EXPECT_FALSE(std::ifstream(dir + "/no.cov").good());
}

}  // namespace
}  // namespace kalvex::batch
