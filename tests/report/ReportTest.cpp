#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "algorithm/AlgorithmCommands.h"
#include "batch/Batch.h"
#include "batch/BatchFrontend.h"
#include "batch/PlotPicture.h"
#include "evaluation/EvaluationReport.h"
#include "evaluation/LikelihoodProfile.h"
#include "model/OskaneModel.h"
#include "report/ProfileSet.h"
#include "report/ReportWriter.h"
#include "support/SaveFaults.h"
#include "support/ScriptedFrontend.h"
#include "support/TestModels.h"
#include "workflow/MainMenu.h"
#include "workflow/SessionReport.h"
#include "workspace/Objective.h"

namespace kalvex::report {
namespace {

using testing::FileBytes;

// Where text stops being well-formed XML (elements nested and closed,
// attributes quoted, only the XML entities and character references), or
// nullopt. The doctype is skipped. A page that passes reads alike in every
// browser and in any XML tool.
std::optional<std::string> XmlFault(std::string_view text) {
  std::vector<std::string> open;
  int roots = 0;
  std::size_t i = 0;
  auto at = [&](const std::string& what) { return what + " at byte " + std::to_string(i); };
  auto entity = [&](std::size_t from) -> std::optional<std::string> {
    const std::size_t semi = text.find(';', from);
    if (semi == std::string_view::npos) return at("a bare &");
    std::string_view name = text.substr(from + 1, semi - from - 1);
    const bool reference = name.size() > 1 && name[0] == '#' &&
                           name.substr(1).find_first_not_of("0123456789") == std::string_view::npos;
    if (!reference && name != "amp" && name != "lt" && name != "gt" && name != "quot" && name != "apos")
      return at("the entity &" + std::string(name) + ";");
    i = semi + 1;
    return std::nullopt;
  };
  while (i < text.size()) {
    if (text[i] == '&') {
      if (auto fault = entity(i)) return fault;
      continue;
    }
    if (text[i] != '<') {
      ++i;
      continue;
    }
    if (text.substr(i, 2) == "<!" || text.substr(i, 2) == "<?") {
      i = text.find('>', i) + 1;
      continue;
    }
    const bool closing = text[i + 1] == '/';
    std::size_t k = i + (closing ? 2 : 1);
    const std::size_t nameEnd = text.find_first_of(" \n/>", k);
    const std::string name(text.substr(k, nameEnd - k));
    for (k = nameEnd; k < text.size() && text[k] != '>' && text[k] != '/';) {
      if (text[k] == ' ' || text[k] == '\n') {
        ++k;
        continue;
      }
      const std::size_t equals = text.find('=', k);
      if (equals == std::string_view::npos || (text[equals + 1] != '"' && text[equals + 1] != '\''))
        return at("an unquoted attribute in <" + name + ">");
      const std::size_t close = text.find(text[equals + 1], equals + 2);
      for (std::size_t c = equals + 2; c < close; ++c)
        if (text[c] == '<') return at("a < in an attribute of <" + name + ">");
      k = close + 1;
    }
    const bool empty = text[k] == '/';
    if (closing) {
      if (open.empty() || open.back() != name) return at("</" + name + "> closing " + (open.empty() ? "nothing" : open.back()));
      open.pop_back();
    } else if (!empty) {
      if (open.empty()) ++roots;
      open.push_back(name);
    }
    i = text.find('>', k) + 1;
  }
  if (!open.empty()) return "<" + open.back() + "> is never closed";
  if (roots != 1) return std::to_string(roots) + " root elements";
  return std::nullopt;
}

// What kalvex-batch report writes for the two-species example with its
// measurement- and process-error variants: one run for every test below.
class ExampleReport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new std::string(testing::TempDir());
    const std::string examples = KALVEX_EXAMPLES;
    std::vector<std::string> words = {"kalvex-batch", "report", "--species", "2", "--data", examples + "/two_species.dat",
                                      "--alg", examples + "/two_species.alg", "--alg", examples + "/two_species_me.alg",
                                      "--alg", examples + "/two_species_pe.alg", "--points", "7", "--jitter", "4",
                                      "--peels", "2", "--out", *folder_ + "/two.html"};
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    std::ostringstream out, err;
    code_ = batch::RunBatch(static_cast<int>(argv.size()), argv.data(), out, err);
    out_ = new std::string(out.str() + err.str());
  }
  static std::string File(const std::string& name) { return FileBytes(*folder_ + "/" + name); }

  static inline std::string* folder_ = nullptr;
  static inline std::string* out_ = nullptr;
  static inline int code_ = -1;
};

TEST_F(ExampleReport, IsOneWellFormedPageWithEverySection) {
  ASSERT_EQ(code_, 0) << *out_;
  const std::string html = File("two.html");
  EXPECT_EQ(XmlFault(html), std::nullopt);
  // Nothing is fetched: the only addresses are the namespaces'.
  for (std::size_t at = html.find("http"); at != std::string::npos; at = html.find("http", at + 1))
    EXPECT_EQ(html.compare(at, 18, "http://www.w3.org/"), 0) << html.substr(at, 40);
  EXPECT_EQ(html.find("<link"), std::string::npos);
  EXPECT_EQ(html.find(" src="), std::string::npos);
  for (const char* id : {"fit", "summary", "covariance", "profiles", "diagnostics", "jitter", "hindcast", "ranking"}) {
    EXPECT_NE(html.find("<section class=\"analysis\" id=\"" + std::string(id) + "\">"), std::string::npos) << id;
    EXPECT_NE(html.find("<li><a href=\"#" + std::string(id) + "\">"), std::string::npos) << id;
  }
  EXPECT_GE(std::count(html.begin(), html.end(), '\n'), 500);
  if (batch::PlotPicturesBuilt())
    EXPECT_EQ(html.find("<p class=\"missing\">"), std::string::npos) << "every picture is in the page";
}

// A sample of numbers, each as its file has it, is a cell of the page.
TEST_F(ExampleReport, ItsNumbersAreTheFilesOwn) {
  struct Sample {
    const char* file;
    const char* line;  // the line that starts with this
    std::size_t word;  // its blank-separated word
  };
  const Sample samples[] = {
      {"two_summary.kvo", "The likelihood function minimum", 6},
      {"two_summary.kvo", "Parameter # 09 estimate:", 4},
      {"two.cov", "Coef of Var:", 5},
      {"two.cov", "9   ", 3},  // grid 3's standard error of Omega
      {"two.cov", "Correlation Matrix:", 4},
      {"two_p9.mlc", "Estimated SE:", 2},
      {"two_p1.mlc", "Max Likelihood:", 2},
      {"two.rsd", "Shapiro-Wilk W:", 2},
      {"two.mms", "1  ", 3},
      {"two_fit.txt", "1,", 4},
  };
  const std::string html = File("two.html");
  for (const Sample& sample : samples) {
    const TextLines lines(File(sample.file));
    const std::size_t at = lines.Find(sample.line);
    ASSERT_LT(at, lines.size()) << sample.file << ": " << sample.line;
    Row words = Words(lines[at]);
    ASSERT_LT(sample.word, words.size()) << lines[at];
    std::string number = words[sample.word];
    if (number.back() == ',') number.pop_back();
    EXPECT_NE(html.find("<td class=\"num\">" + number + "</td>"), std::string::npos)
        << sample.file << " has " << number;
  }
}

// The default grid factors are too wide for this fit: two of the three
// grids are not positive definite. The report is written all the same,
// and says so before anything else.
TEST_F(ExampleReport, AGridNotPositiveDefiniteIsWarnedOfAtTheTop) {
  const std::string html = File("two.html");
  const std::size_t warnings = html.find("<section id=\"warnings\" class=\"warnings\">");
  const std::size_t grid = html.find("Covariance grid 1 is not positive definite");
  ASSERT_NE(warnings, std::string::npos);
  EXPECT_GT(grid, warnings);
  EXPECT_LT(grid, html.find("<nav id=\"contents\">"));
  EXPECT_NE(out_->find("section covariance done"), std::string::npos);
  EXPECT_NE(File("two.cov").find("  9                     -1.0000000E+00"), std::string::npos);
}

// The competing models are fitted and ranked under the report's name; the
// averaging reads their covariances before they are in place.
TEST_F(ExampleReport, RanksTheFittedModelsAndAveragesThem) {
  const std::string ranking = File("two.mms");
  for (const char* name : {"two.alg", "two.cov", "two_m2.alg", "two_m2.cov", "two_m3.alg", "two_m3.cov"})
    EXPECT_NE(ranking.find(name), std::string::npos) << name;
  EXPECT_NE(ranking.find("Parameter_#  Parameter_Value"), std::string::npos);
}

// The profiles of the report are those of the profile evaluation, bit for
// bit, on any number of threads.
TEST(ReportProfiles, AreTheProfileEvaluationsOwn) {
  Workspace ws(MakeOskaneModel());
  InitializeModel(ws, {2, std::string(KALVEX_EXAMPLES) + "/two_species.dat"});
  std::ostringstream messages;
  batch::BatchFrontend ui(messages);
  ASSERT_EQ(LoadAlgorithmFile(ws, ui, testing::TestData("checks/two_species_fitted.alg")).status,
            AlgorithmReadStatus::Read);
  ws.ObjectiveScale = 2;
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  const std::vector<ProfileOutcome> profiles = ComputeProfiles(ws, {9, 1}, {7, Derivatives::Numerical, 2});
  ws.DerivativeMode = "N";
  ws.ProfileEvaluationActive = kOn;
  for (const ProfileOutcome& outcome : profiles) {
    ASSERT_TRUE(outcome.profile) << outcome.failure;
    ASSERT_EQ(RunLikelihoodProfile(ws, ui, {outcome.parameter, 7, 'M'}), EvaluationEnd::Results);
    const ProfileRecord& p = *outcome.profile;
    EXPECT_EQ(EvaluationReportText(kMaxLikeReportTitle, p.table, p.summary),
              EvaluationReportText(kMaxLikeReportTitle, ws.Evaluation.Table, ws.Evaluation.Summary));
    EXPECT_EQ(p.table.NegLnL, ws.Evaluation.Table.NegLnL);
    EXPECT_EQ(p.summary.EstimatedSE, ws.Evaluation.Summary.EstimatedSE);
  }
}

// A report named after its algorithm file would put the fit in place of the
// start values: nothing is saved and the user's file stays as it was.
TEST(ReportFiles, NamedAfterItsAlgorithmFileReplacesNothing) {
  const std::string folder = testing::TempDir() + "/named_after_input";
  std::filesystem::create_directories(folder);
  const std::string alg = folder + "/fit.alg";
  std::filesystem::copy_file(std::string(KALVEX_EXAMPLES) + "/two_species.alg", alg,
                             std::filesystem::copy_options::overwrite_existing);
  const std::string before = FileBytes(alg);
  const std::vector<std::string> words = {"kalvex-batch", "report", "--species", "2", "--data",
                                          std::string(KALVEX_EXAMPLES) + "/two_species.dat", "--alg", alg,
                                          "--points", "3", "--jitter", "0", "--peels", "0", "--out",
                                          folder + "/fit.html"};
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  std::ostringstream out, err;
  EXPECT_EQ(batch::RunBatch(static_cast<int>(argv.size()), argv.data(), out, err), 1);
  EXPECT_NE(err.str().find("would replace " + alg), std::string::npos) << err.str();
  EXPECT_EQ(FileBytes(alg), before);
  EXPECT_FALSE(std::filesystem::exists(folder + "/fit.html"));
}

// A hand-made session of the checks alone (the jitter and the hindcast as
// their analyses hand them over), with a stand-in for the painter: the
// page byte for byte.
TEST(ReportPage, OfHandMadeChecksByteForByte) {
  SessionResults session;
  session.sources = {"examples/two_species.dat", "fit.alg", ""};
  session.descriptions = {"", "Intercept", "Effort", "", "", "", "", "", "", "Omega"};
  checks::JitterRun& jitter = session.jitter.emplace();
  jitter.settings = {3, 0.1, 7, checks::FitMinimizer::Marquardt};
  jitter.tolerance = 1e-6;
  jitter.currentObjective = -121.25;
  jitter.freeIndex = {0, 1, 9};
  jitter.freeSteps = {0, 0.1, 0.05};
  jitter.descriptions = session.descriptions;
  jitter.starts = {{-120.0, RunEnd::Converged, false, 300, {-121.5, {0, -0.4, 0.5}}},
                   {-119.5, RunEnd::Converged, false, 280, {-121.5000001, {0, -0.4001, 0.5}}},
                   {-118.0, RunEnd::GaveUp, false, 90, {-117.75, {0, -0.3, 0.8}}}};
  checks::HindcastRun& hindcast = session.hindcast.emplace();
  hindcast.minimizer = "Marquardt";
  hindcast.freeIndex = {0, 1, 2};
  hindcast.descriptions = session.descriptions;
  hindcast.fullEstimates = {0, -0.4, 0.2};
  hindcast.fullObjective = -121.5;
  hindcast.years = {1996, 1997, 1998, 1999};
  hindcast.observed = {0.30, 0.25, 0.20, 0.22};
  hindcast.fullPrediction = {std::nullopt, 0.28, 0.24, 0.21};
  hindcast.peels = {{{1, 1998, std::log(0.26), 0.18, 0.36, 0.22, 0.20, {0, -0.41, 0.19}}, -118.0, "converged"},
                    {{2, 1997, std::log(0.24), 0.17, 0.33, 0.20, 0.25, {0, -0.38, 0.22}}, -115.5, "converged"}};
  session.notRun[Analysis::Ranking] = "Only one algorithm file was given: there are no models to rank.";
  const SvgEncoder painter = [](const plots::Figure& figure, std::string& svg) -> std::optional<std::string> {
    if (figure.items.empty()) return "nothing to draw";
    svg = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg width=\"10mm\" height=\"5mm\"\n"
          " viewBox=\"0 0 10 5\" xmlns=\"http://www.w3.org/2000/svg\">\n<title>Qt SVG Document</title>\n"
          "<desc>Generated with Qt</desc>\n<defs><clipPath id=\"clip1\"><rect width=\"10\" height=\"5\"/></clipPath>"
          "</defs>\n<g clip-path=\"url(#clip1)\"><text x=\"1\" y=\"3\">a &lt; b</text></g>\n</svg>\n";
    return std::nullopt;
  };
  const MadeReport made = MakeReport(session, ReportNames("out/hand.html"), {"2026-03-07 14:05", "Kalvex test"}, painter);
  ASSERT_EQ(made.files.size(), 3u);  // the two checks' files, then the page
  EXPECT_EQ(made.files[0].path, "out/hand.jit");
  EXPECT_EQ(made.files[1].path, "out/hand.hnd");
  EXPECT_EQ(XmlFault(made.files[2].content), std::nullopt);
  EXPECT_EQ(made.files[2].content, FileBytes(testing::TestData("report/hand.html")));
}

// The workbench's session: what was run is reported, the rest listed as
// not run; a new fit drops what was computed at the old values.
TEST(SessionReport, WritesWhatTheSessionComputed) {
  Workspace ws(MakeOskaneModel());
  ui::ScriptedFrontend ui;
  MainMenu menu(ws, ui);
  ASSERT_TRUE(menu.OpenExample(2, std::string(KALVEX_EXAMPLES) + "/two_species.dat",
                               testing::TestData("checks/two_species_fitted.alg")));
  menu.Session().covariance = CovarianceRecord{};  // from before the fit
  ui.ExpectMessage("Marquardt minimization", ui::Answer::No)
      .ExpectMessage("Marquardt minimization")
      .ExpectMessage("Marquardt minimization", ui::Answer::No)
      .ExpectMessage("Marquardt minimum");
  EXPECT_EQ(menu.Marquardt().end, RunEnd::Converged);
  EXPECT_FALSE(menu.Session().covariance);
  ui.ExpectMessage("View plots?", ui::Answer::No)
      .ExpectMessage("Opportunity to generate a forecast for time period f", ui::Answer::No);
  menu.ResultsSummary();

  const std::string folder = testing::TempDir() + "/session";
  std::filesystem::create_directories(folder);
  ui.ExpectSave(folder + "/session.html").ExpectMessage(kSaveReportTitle);
  ASSERT_EQ(SaveSessionReport(ws, ui, menu.Session(), {}, "Kalvex test"), folder + "/session.html");
  const std::string html = FileBytes(folder + "/session.html");
  EXPECT_EQ(XmlFault(html), std::nullopt);
  EXPECT_NE(html.find("<span class=\"state done\">done</span></li>\n<li><a href=\"#summary\">"), std::string::npos);
  EXPECT_NE(html.find("The forecast for time period f was made"), std::string::npos);  // the summary with its forecast
  EXPECT_NE(html.find("<p class=\"status notrun\">Not run: Not run in this session.</p>"), std::string::npos);
  EXPECT_NE(html.find("The picture is not in this report"), std::string::npos);
  std::vector<std::string> written;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) written.push_back(entry.path().filename());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"session.alg", "session.html", "session_fit.txt", "session_summary.kvo"}));
}

}  // namespace
}  // namespace kalvex::report
