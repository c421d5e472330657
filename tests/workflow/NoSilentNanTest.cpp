// Every analysis driven into the model's numeric faults: each ends with a
// message naming the fault, leaves Values as it promises, and shows no NaN
// or infinity in a report, a status text or the log (the fault's message
// may name the value that was given).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <regex>
#include <set>
#include <sstream>

#include "algorithm/AlgorithmCommands.h"
#include "batch/BatchFrontend.h"
#include "covariance/CovarianceCalculator.h"
#include "covariance/LikelihoodConstant.h"
#include "evaluation/LikelihoodProfile.h"
#include "evaluation/PosteriorIntegration.h"
#include "model/OskaneModel.h"
#include "workflow/RankingWindow.h"
#include "support/TestModels.h"
#include "workflow/MainMenu.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"

namespace kalvex {
namespace {

// Answers as the batch front end does and keeps every text it was shown.
class RecordingFrontend : public batch::BatchFrontend {
 public:
  RecordingFrontend() : BatchFrontend(messages) {}
  ui::Answer Message(std::string_view title, std::string_view text, int style) override {
    lastMessage = std::string(title) + ": " + std::string(text);
    return BatchFrontend::Message(title, text, style);
  }
  void SetPaneText(std::string_view form, std::string_view pane, std::string_view text) override {
    shown += std::string(text) + "\n";
    BatchFrontend::SetPaneText(form, pane, text);
  }
  void SetStatus(int, int, std::string_view text) override { shown += std::string(text) + "\n"; }
  // The constant prompt of the analyses that ask it.
  std::optional<std::string> Input(std::string_view, std::string_view title, std::string_view) override {
    if (title == kEnterConstantTitle) return "1";
    return std::nullopt;
  }
  std::ostringstream messages;
  std::string lastMessage, shown;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

bool ShowsNonFinite(const std::string& text) {
  static const std::regex nonFinite(R"(\b(nan|inf|infinity)\b)", std::regex::icase);
  return std::regex_search(text, nonFinite);
}

bool NamesAFault(const std::string& text) {
  for (const char* fault : {kDivisionByZero, kOverflow, kInvalidCall})
    if (text.find(fault) != std::string::npos) return true;
  return false;
}

struct Fault {
  const char* name;
  std::string dataFile;
  std::function<void(AlgorithmData&)> apply;
  std::set<std::string> unaffected;  // analyses the fault does not reach
};

struct Analysis {
  const char* name;
  std::function<void(MainMenu&, Workspace&, ui::Frontend&)> run;
  bool movesValues;  // a minimizer may leave its best point before the fault
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kOmega = 9;  // of two species

std::vector<Fault> Faults() {
  const std::string example = std::string(KALVEX_EXAMPLES) + "/two_species.dat";
  return {
      {"NaN Omega", example, [](AlgorithmData& alg) { alg.Values[kOmega] = kNaN; }, {}},
      {"zero sum of squares", testing::TestData("oskane_perfect_fit.dat"),
       [](AlgorithmData& alg) {
         for (int i = 1; i <= kOmega; ++i) alg.Values[i] = 0;
         alg.Values[1] = std::log(0.5);
       },
       {"rank"}},  // four periods: too few for the ranking's AICc, refused before any evaluation
      {"overflowing exponent", example,
       [](AlgorithmData& alg) { alg.Values[1] = alg.Values[2] = 1e308; }, {}},
      {"steps of 1e300", example,
       [](AlgorithmData& alg) {
         for (int i = 1; i <= alg.NumParameters; ++i)
           if (alg.Steps[i] != 0) alg.Steps[i] = 1e300;
       },
       {"one function call", "summary", "rank"}},
  };
}

std::vector<Analysis> Analyses() {
  return {
      {"one function call", [](MainMenu& menu, Workspace&, ui::Frontend&) { menu.OneFunctionCall(); }, false},
      {"simplex", [](MainMenu& menu, Workspace&, ui::Frontend&) { menu.Simplex(); }, true},
      {"marquardt", [](MainMenu& menu, Workspace&, ui::Frontend&) { menu.Marquardt(); }, true},
      {"summary", [](MainMenu& menu, Workspace&, ui::Frontend&) { menu.ResultsSummary(); }, false},
      {"covariance", [](MainMenu&, Workspace& ws, ui::Frontend& ui) { RunNumericalCovariance(ws, ui); }, false},
      {"likelihood profile",
       [](MainMenu&, Workspace& ws, ui::Frontend& ui) {
         ws.ProfileEvaluationActive = kOn;
         RunLikelihoodProfile(ws, ui, {.parameter = 1, .pointCount = 3, .minimizer = 'S'});
         ws.ProfileEvaluationActive = kOff;
       },
       true},
      {"posterior",
       [](MainMenu&, Workspace& ws, ui::Frontend& ui) {
         // Two integrated parameters: the run allows at most six.
         for (int i = 4; i <= ws.Alg.NumParameters; ++i) ws.Alg.Steps[i] = 0;
         ws.PosteriorEvaluationActive = kOn;
         RunPosterior(ws, ui, {.parameter = 1, .pointCount = 3, .gridPointCount = 3});
         ws.PosteriorEvaluationActive = kOff;
       },
       false},
      {"rank",
       [](MainMenu&, Workspace& ws, ui::Frontend& ui) {
         ranking::RankingWindow ranking(ws, ui);
         ranking.Open({});
         ranking.Rank();
       },
       false},
  };
}

TEST(NoSilentNan, EveryAnalysisEndsAFaultWithItsMessageAndShowsNoNonFiniteNumber) {
  const std::string log = testing::TempDir() + "/faults.kvl";
  for (const Fault& fault : Faults()) {
    for (const Analysis& analysis : Analyses()) {
      const std::string where = std::string(analysis.name) + " at " + fault.name;
      Workspace ws(MakeOskaneModel());
      RecordingFrontend ui;
      InitializeModel(ws, {2, fault.dataFile});
      ASSERT_EQ(LoadAlgorithmFile(ws, ui, std::string(KALVEX_EXAMPLES) + "/two_species.alg").status,
                AlgorithmReadStatus::Read);
      fault.apply(ws.Alg);
      ASSERT_FALSE(ws.Log.Open(log)) << where;
      ws.LogOpen = -1;
      ws.Alg.FileFrequency = 1;
      const std::vector<double> before = ws.Alg.Values;
      MainMenu menu(ws, ui);
      analysis.run(menu, ws, ui);
      ws.Log.Close();

      const bool faulted = NamesAFault(ui.lastMessage);
      EXPECT_EQ(faulted, !fault.unaffected.count(analysis.name)) << where << ": " << ui.messages.str();
      EXPECT_FALSE(ShowsNonFinite(ui.shown)) << where << ": " << ui.shown;
      EXPECT_FALSE(ShowsNonFinite(Slurp(log))) << where;
      // Values as it was, or (after a minimizer's progress) a point that evaluates.
      bool unchanged = true;
      for (int i = 1; i <= ws.Alg.NumParameters; ++i)
        unchanged = unchanged && (ws.Alg.Values[i] == before[i] || (std::isnan(before[i]) && std::isnan(ws.Alg.Values[i])));
      if (!unchanged) {
        EXPECT_TRUE(analysis.movesValues) << where;
        std::vector<double> values = ws.Alg.Values;
        double objective = 0;
        EXPECT_NO_THROW(objective = EvaluateObjectiveWithCode(ws, values, 1)) << where;
        EXPECT_TRUE(std::isfinite(objective)) << where;
      }
    }
  }
}

}  // namespace
}  // namespace kalvex
