// The covariance dialogue and its windows on the scripted front end: the
// questions in their order and wording, the grid-factor answers, the log,
// the time estimate, the interrupt and the numeric fault.
#include "workflow/CovarianceWindows.h"

#include <gtest/gtest.h>

#include <cmath>

#include "covariance/LikelihoodConstant.h"
#include "support/TestModels.h"
#include "support/ScriptedFrontend.h"
#include "workspace/NumericFault.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;
constexpr const char* kTitle = kCovarianceCalculatorTitle;

// (x2 - 1)^2 with x1 fixed; every evaluation moves the fake clock by 13 s.
// With analytical second derivatives when asked.
class ClockModel : public testing::FunctionModel {
 public:
  explicit ClockModel(double& now, bool derivatives = false)
      : FunctionModel(2,
                      [&now](std::span<double> v) {
                        now += 13;
                        return (v[2] - 1) * (v[2] - 1);
                      }),
        derivatives_(derivatives) {}
  void Derivatives(std::span<const double>, std::span<double>, Matrix& second) override {
    if (derivatives_) second(2, 2) = 2;
  }

 private:
  bool derivatives_;
};

struct Fixture {
  explicit Fixture(bool derivatives = false) : ws(std::make_unique<ClockModel>(now, derivatives)) {
    InitializeModel(ws, {});
    SetDefaultAlgorithmData(ws);
    ws.Alg.Values = {0, 5, 1};
    ws.Alg.Steps = {0, 0, 0.5};
    options.openEditor = [this] {
      ++editorOpened;
    };
    options.clock = [this] { return now; };
  }
  CovarianceRunEnd Run() { return windows.Calculate(options); }
  CovarianceRunEnd RunNumerical() { return RunNumericalCovariance(ws, ui, {kDefaultGridFactors, {}, &windows}); }
  std::string Log() const { return ui.PaneText(ui::names::kCovarianceForm, ui::names::kCovariancePane); }

  double now = 1000;
  Workspace ws;
  ui::ScriptedFrontend ui;
  CovarianceCalculatorOptions options;
  workflow::CovarianceWindows windows{ws, ui};
  int editorOpened = 0;
};

// The numerical dialogue: grid-factor answers that are not positive numbers
// keep the factor, "No" asks the three again, then the constant and the
// optimistic question; the log and the time estimate of the first grid.
TEST(CovarianceCalculator, NumericalDialogue) {
  Fixture f;
  std::vector<std::string> remaining;
  bool logClosedWhileRunning = false;
  f.ui.onPump = [&] {
    if (!f.ui.Status(kActivityBar, 2).empty()) remaining.push_back(f.ui.Status(kActivityBar, 2));
    if (f.windows.LogClosing()) logClosedWhileRunning = true;
  };
  f.ui.ExpectMessage(kTitle, Answer::No)
      .ExpectMessage(kTitle, Answer::OK)
      .ExpectInput(kTitle, "-1")
      .ExpectInput(kTitle, "0")
      .ExpectInput(kTitle, "abc")
      .ExpectMessage(kTitle)  // refused: not a number
      .ExpectInput(kTitle, "-3")
      .ExpectMessage(kTitle, Answer::No)
      .ExpectInput(kTitle, "2")
      .ExpectInput(kTitle, " 0.5")
      .ExpectInput(kTitle, "1e-3")
      .ExpectMessage(kTitle, Answer::Yes)
      .ExpectInput(kEnterConstantTitle, "0.5")
      .ExpectMessage(kOptimisticTitle, Answer::No);
  ASSERT_EQ(f.Run(), CovarianceRunEnd::Completed);
  EXPECT_EQ(f.ui.PendingPrompts(), 0u);
  EXPECT_EQ(f.editorOpened, 1);

  EXPECT_EQ(f.ui.messages[0].style, 3 + 32);
  EXPECT_EQ(f.ui.messages[1].style, 1 + 64);
  EXPECT_EQ(f.ui.inputs[0].prompt,
            "Default grid factor for Grid 1 :\r\n\r\n Currently:   1) 1.000E+00     2) 1.000E-01     3) 1.000E-02"
            "\r\n\r\nValue must be positive for all factors");
  EXPECT_EQ(f.ui.inputs[1].defaultText, "0.1");
  EXPECT_EQ(f.ui.messages[2].text, "\"abc\" is not a number");
  EXPECT_EQ(f.ui.messages[3].text, "Are these default grid factors OK?\r\n\r\n 1) 1.000E+00     2) 1.000E-01     3) 1.000E-02");
  EXPECT_EQ(f.ui.inputs[6].defaultText, "0.01");
  EXPECT_EQ(f.ui.messages[4].text, "Are these default grid factors OK?\r\n\r\n 1) 2.000E+00     2) 5.000E-01     3) 1.000E-03");
  EXPECT_EQ(f.ui.messages[5].style, 4 + 32 + 256);

  const CovarianceResults& r = f.ws.Covariance.Results;
  EXPECT_EQ(r.GridFactors, (std::array<double, 4>{0, 2, 0.5, 1e-3}));
  EXPECT_DOUBLE_EQ(f.ws.ObjectiveScale, 2);
  EXPECT_NEAR(r.StandardError(1, 1), 1, 1e-12);  // sqrt(scale / H) with H = 2
  // Grid 1 of three with two points each: 13 s for the first, 5 points to go.
  ASSERT_FALSE(remaining.empty());
  EXPECT_EQ(remaining.front(), "Estimated time remaining for all three grids (m:s): 1:05");
  EXPECT_EQ(f.Log(),
            "\r\nNow calculating -ln[likelihood] on grid #1\r\n"
            "Average: 3.3333333E-01; Standard deviation: 2.3570226E-01\r\n"
            "Now calculating Hessian matrix #1\r\n"
            "Now inverting Hessian matrix #1\r\n"
            "Determinant of covariance matrix: 1.0000000E+00\r\n\r\n"
            "\r\nNow calculating -ln[likelihood] on grid #2\r\n"
            "Average: 2.0833333E-02; Standard deviation: 1.4731391E-02\r\n"
            "Now calculating Hessian matrix #2\r\n"
            "Now inverting Hessian matrix #2\r\n"
            "Determinant of covariance matrix: 1.0000000E+00\r\n\r\n"
            "\r\nNow calculating -ln[likelihood] on grid #3\r\n"
            "Average: 8.3333333E-08; Standard deviation: 5.8925565E-08\r\n"
            "Now calculating Hessian matrix #3\r\n"
            "Now inverting Hessian matrix #3\r\n"
            "Determinant of covariance matrix: 1.0000000E+00\r\n\r\n");
  EXPECT_TRUE(f.ui.IsWindowOpen(ui::names::kCovDataForm));
  EXPECT_EQ(f.ui.captions["frmCovData.lblCovData"], "Calculation completed. Do you wish to:");
  EXPECT_FALSE(f.ui.IsEnabled(ui::names::kCovDataForm, ui::names::kCovSaveButton));
  for (int panel = 1; panel <= 4; ++panel) EXPECT_EQ(f.ui.Status(kActivityBar, panel), "") << panel;
  EXPECT_FALSE(f.windows.Running());
  EXPECT_FALSE(logClosedWhileRunning);
  EXPECT_TRUE(f.windows.LogClosing());
}

// Every way out before the grids leaves the last results as they were.
TEST(CovarianceCalculator, EndsWithoutResults) {
  struct Case {
    const char* name;
    std::function<void(ui::ScriptedFrontend&)> script;
    CovarianceRunEnd end;
    int editorOpened;
  };
  const std::vector<Case> cases = {
      {"method cancelled", [](ui::ScriptedFrontend& ui) { ui.ExpectMessage(kTitle, Answer::Cancel); },
       CovarianceRunEnd::Cancelled, 0},
      {"introduction cancelled",
       [](ui::ScriptedFrontend& ui) { ui.ExpectMessage(kTitle, Answer::No).ExpectMessage(kTitle, Answer::Cancel); },
       CovarianceRunEnd::Cancelled, 0},
      {"empty factor",
       [](ui::ScriptedFrontend& ui) {
         ui.ExpectMessage(kTitle, Answer::No).ExpectMessage(kTitle).ExpectInput(kTitle, "3").ExpectInput(kTitle, "");
       },
       CovarianceRunEnd::Cancelled, 1},
      {"no analytical derivatives",
       [](ui::ScriptedFrontend& ui) {
         ui.ExpectMessage(kTitle, Answer::Yes).ExpectMessage("Analytical derivatives missing");
       },
       CovarianceRunEnd::NoResults, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    f.ws.Covariance.Results.CentreObjective = 42;  // an earlier run's
    c.script(f.ui);
    EXPECT_EQ(f.Run(), c.end);
    EXPECT_EQ(f.ui.PendingPrompts(), 0u);
    EXPECT_EQ(f.editorOpened, c.editorOpened);
    EXPECT_EQ(f.ws.Covariance.Results.CentreObjective, 42);
    EXPECT_FALSE(f.ui.IsWindowOpen(ui::names::kCovDataForm));
  }
}

// An analytical run inverts the model's Hessian for all three grids, with
// factors 0; the optimistic question is asked but changes nothing.
TEST(CovarianceCalculator, AnalyticalRun) {
  Fixture f(true);
  f.ui.ExpectMessage(kTitle, Answer::Yes)
      .ExpectInput(kEnterConstantTitle, "1")
      .ExpectMessage(kOptimisticTitle, Answer::Yes);
  ASSERT_EQ(f.Run(), CovarianceRunEnd::Completed);
  const CovarianceResults& r = f.ws.Covariance.Results;
  EXPECT_EQ(r.Method, CovarianceMethod::Analytical);
  EXPECT_FALSE(r.OptimisticSEs);
  for (int g = 1; g <= 3; ++g) {
    EXPECT_EQ(r.GridFactors[g], 0);
    EXPECT_DOUBLE_EQ(r.StandardError(g, 1), std::sqrt(0.5));
  }
}

// The interrupt button during grid 1: "Yes" abandons that grid only;
// then a numeric fault on grid 2 ends the run with its message, keeps the
// last results and leaves the parameter set alone.
TEST(CovarianceCalculator, InterruptAndFault) {
  Fixture f;
  int pumps = 0;
  f.ui.onPump = [&] {
    if (++pumps == 2) f.windows.LogButton();
  };
  f.ui.ExpectInput(kEnterConstantTitle, "1")
      .ExpectMessage(kOptimisticTitle, Answer::No)
      .ExpectMessage(kCovarianceRunTitle, Answer::Yes);
  ASSERT_EQ(f.RunNumerical(), CovarianceRunEnd::Completed);
  const CovarianceResults& r = f.ws.Covariance.Results;
  EXPECT_TRUE(r.Outcome[1].abandoned);
  EXPECT_EQ(r.GridMean[1], -1);
  EXPECT_EQ(r.StandardError(1, 1), -1);
  EXPECT_TRUE(r.Outcome[2].Valid() && r.Outcome[3].Valid());
  EXPECT_EQ(f.ui.messages.back().text, "Interrupt received. Do you want to quit calculating this grid?");
  EXPECT_EQ(f.Log().find("Now calculating Hessian matrix #1"), std::string::npos);

  // A model that overflows at its fifth call (the centre, two points a grid).
  int calls = 0;
  f.ws.model = std::make_unique<testing::FunctionModel>(2, [&calls](std::span<double> v) {
    if (++calls == 5) throw NumericFault(kOverflow);
    return v[2] * v[2];
  });
  f.ui.onPump = nullptr;
  f.ws.Alg.Values[2] = 3;
  f.ui.ExpectInput(kEnterConstantTitle, "1")
      .ExpectMessage(kOptimisticTitle, Answer::No)
      .ExpectMessage(kCovarianceRunTitle);
  EXPECT_EQ(f.RunNumerical(), CovarianceRunEnd::Faulted);
  EXPECT_EQ(f.ui.LastMessage().text,
            "Numeric fault: Overflow\r\n\r\nThe fault occurred while grid #2 was calculated. No covariance results "
            "were kept; the parameter values and step sizes are unchanged.");
  EXPECT_TRUE(f.ws.Covariance.Results.Outcome[1].abandoned);  // the interrupted run's results stay
  EXPECT_EQ(f.ws.Alg.Values, (std::vector<double>{0, 5, 3}));
  EXPECT_EQ(f.ws.Alg.Steps, (std::vector<double>{0, 0, 0.5}));
  EXPECT_FALSE(f.windows.Running());
}

}  // namespace
}  // namespace kalvex
