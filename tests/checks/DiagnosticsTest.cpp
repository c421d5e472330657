// The residual diagnostics of the three fitted examples against R's acf,
// Box.test, shapiro.test and a runs test and control limits written in R
// (the figures kept in tests/data/checks/*_r.txt, made once by
// tools/residual_reference.R), the report byte for byte, and the
// statistics' small-sample branches.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "algorithm/AlgorithmCommands.h"
#include "checks/Diagnostics.h"
#include "model/OskaneModel.h"
#include "support/SaveFaults.h"
#include "support/ScriptedFrontend.h"
#include "support/TestModels.h"
#include "ui/PaneFile.h"
#include "workspace/Format.h"
#include "workspace/Workspace.h"

namespace kalvex::checks {
namespace {

using testing::FileBytes;

// R's "name v1 v2 ..." lines; the name of a lag line carries its lag ("acf 3").
std::map<std::string, std::vector<double>> Figures(const std::string& text) {
  std::map<std::string, std::vector<double>> figures;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string name, word;
    words >> name;
    if (name == "acf") {
      words >> word;
      name += " " + word;
    }
    while (words >> word) figures[name].push_back(ParseNumber(word).value_or(NAN));
  }
  return figures;
}

// Ours under R's names.
std::map<std::string, std::vector<double>> Figures(const ResidualStatistics& s) {
  std::map<std::string, std::vector<double>> figures = {
      {"mean", {s.mean}},
      {"sd", {s.sd}},
      {"ljung_box", {s.ljungBox->Q, s.ljungBox->P}},
      {"shapiro", {s.shapiro->W, s.shapiro->P}},
      {"runs", {double(s.runs.runs), s.runs.expected, *s.runs.P}},
      {"three_sigma", {s.threeSigma.sd, s.threeSigma.limit, double(s.threeSigma.outside)}}};
  for (std::size_t k = 0; k < s.acf.size(); ++k) figures["acf " + std::to_string(k + 1)] = {s.acf[k]};
  return figures;
}

// The text with every occurrence of the folder taken out: the expected
// files name the files bare, wherever the checkout lies.
std::string WithoutFolder(std::string text, const std::string& folder) {
  for (std::size_t at; (at = text.find(folder)) != std::string::npos;) text.erase(at, folder.size());
  return text;
}

TEST(ResidualDiagnostics, AgreeWithRAndWriteTheReportByteForByte) {
  for (const auto& [species, name] : {std::pair{1, "one_species"}, {2, "two_species"}, {3, "three_species"}}) {
    SCOPED_TRACE(name);
    Workspace ws(MakeOskaneModel());
    InitializeModel(ws, {species, std::string(KALVEX_EXAMPLES) + "/" + name + ".dat"});
    ui::ScriptedFrontend ui;
    const std::string data = testing::TestData("checks/");
    ASSERT_EQ(LoadAlgorithmFile(ws, ui, data + name + "_fitted.alg").status, AlgorithmReadStatus::Read);
    DiagnosticsOutcome outcome = DiagnoseCurrentFit(ws);
    ASSERT_TRUE(outcome.diagnostics) << outcome.refusal;

    const auto ours = Figures(outcome.diagnostics->stats), r = Figures(FileBytes(data + name + "_r.txt"));
    EXPECT_EQ(r.at("count"), std::vector<double>{double(outcome.diagnostics->stats.count)});
    for (const auto& [figure, values] : ours) {
      ASSERT_EQ(r.at(figure).size(), values.size()) << figure;
      for (std::size_t k = 0; k < values.size(); ++k)
        EXPECT_NEAR(values[k], r.at(figure)[k], 1e-10 * std::fabs(r.at(figure)[k]) + 1e-15) << figure << " " << k;
    }

    const std::string saved = ui::SavedPaneText(std::string(name) + ".rsd", outcome.diagnostics->report);
    EXPECT_EQ(WithoutFolder(WithoutFolder(saved, std::string(KALVEX_EXAMPLES) + "/"), data),
              FileBytes(data + name + ".rsd"));
  }
}

// The branches the examples' 39 to 55 residuals do not reach: the exact
// probability of three values, the small-sample transform up to eleven,
// and the runs test without a second sign. R's shapiro.test gave W and p.
TEST(ResidualDiagnostics, SmallSamplesAndOneSign) {
  struct Row {
    std::vector<double> x;
    double w, p;
  };
  const Row rows[] = {
      {{0.3, -1.2, 2.5}, 0.98820981713185763, 0.79221281302749391},
      {{1, 2, 4, 8, 16}, 0.87610881180929234, 0.29204844753505288},
      {{-0.5, 0.1, 0.25, 0.3, 0.9, 1.4, 2.2, 4.8}, 0.8473453227697666, 0.089538098917409326},
  };
  for (const Row& row : rows) {
    std::optional<ShapiroWilkResult> sw = ShapiroWilk(row.x);
    ASSERT_TRUE(sw);
    EXPECT_NEAR(sw->W, row.w, 1e-12) << row.x.size();
    EXPECT_NEAR(sw->P, row.p, 1e-10 * row.p) << row.x.size();
  }
  EXPECT_FALSE(ShapiroWilk({1, 2}));
  EXPECT_FALSE(ShapiroWilk({3, 3, 3, 3}));

  const std::vector<double> oneSign = {0.5, 0.0, 1.5, 2.0};  // the 0 belongs to neither sign
  RunsTest runs = RunsOfSigns(oneSign);
  EXPECT_EQ(runs.runs, 1);
  EXPECT_EQ(runs.positive, 3);
  EXPECT_FALSE(runs.P);
}

}  // namespace
}  // namespace kalvex::checks
