// The residual diagnostics of the three fitted examples against R's acf,
// Box.test, shapiro.test and a runs test written in R (the figures kept in
// tests/data/checks/*_r.txt, made once by tools/residual_reference.R), the
// report byte for byte, and the statistics' small-sample branches.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "batch/Batch.h"
#include "checks/ResidualStatistics.h"
#include "checks/ShapiroWilk.h"
#include "support/TestModels.h"
#include "workspace/Format.h"

namespace kalvex::checks {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The text with every occurrence of the folders taken out: the expected
// files name the files bare, wherever the checkout lies.
std::string WithoutFolders(std::string text, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders)
    for (std::size_t at; (at = text.find(folder)) != std::string::npos;) text.erase(at, folder.size());
  return text;
}

// "name v1 v2 ..." lines; the name of a lag line carries its lag ("acf 3").
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

struct BatchRun {
  int code;
  std::string out, err;
};

BatchRun Batch(std::vector<std::string> words) {
  words.insert(words.begin(), "kalvex-batch");
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());
  std::ostringstream out, err;
  int code = batch::RunBatch(static_cast<int>(argv.size()), argv.data(), out, err);
  return {code, out.str(), err.str()};
}

TEST(ResidualDiagnostics, AgreeWithRAndWriteTheReportByteForByte) {
  const std::string dir = testing::TempDir();
  for (const std::string species : {"1", "2", "3"}) {
    const std::string name = std::string(species == "1" ? "one" : species == "2" ? "two" : "three") + "_species";
    SCOPED_TRACE(name);
    const std::string out = dir + "/" + name + ".rsd", picture = dir + "/" + name + ".png";
    BatchRun run = Batch({"diagnostics", "--species", species, "--data", std::string(KALVEX_EXAMPLES) + "/" + name + ".dat",
                          "--alg", testing::TestData("checks/" + name + "_fitted.alg"), "--out", out, "--plot", picture});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");

    const auto ours = Figures(run.out), r = Figures(Slurp(testing::TestData("checks/" + name + "_r.txt")));
    ASSERT_GT(r.size(), 10u);
    for (const auto& [figure, values] : r) {
      if (figure == "count" || figure == "ljung_box_upper_tail") continue;
      ASSERT_TRUE(ours.count(figure)) << figure;
      ASSERT_EQ(ours.at(figure).size(), values.size()) << figure;
      for (std::size_t k = 0; k < values.size(); ++k)
        EXPECT_NEAR(ours.at(figure)[k], values[k], 1e-10 * std::fabs(values[k]) + 1e-15) << figure << " " << k;
    }

    EXPECT_EQ(WithoutFolders(Slurp(out), {dir + "/", std::string(KALVEX_EXAMPLES) + "/", testing::TestData("checks/")}),
              Slurp(testing::TestData("checks/" + name + ".rsd")));
    EXPECT_EQ(Slurp(picture).substr(0, 8), "\x89PNG\r\n\x1a\n");
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
