// The results summary's window: the questions, the pane, the plots handed
// over, the forecast and the save, on the two-species example.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/OskaneModel.h"
#include "model/Summary.h"
#include "support/ScriptedFrontend.h"
#include "support/TestModels.h"
#include "workflow/SummaryWindow.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using workflow::RunResultsSummary;
using workflow::SaveSummary;
using workflow::SummaryOutcome;

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The two-species example at the values it was simulated from, nine
// parameters estimated, initialized from the examples folder so that the
// report names its file the same on every machine.
class SummaryOfTwoSpecies : public ::testing::Test {
 protected:
  SummaryOfTwoSpecies() {
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(KALVEX_EXAMPLES);
    InitializeModel(ws, ModelInitOptions{2, "two_species.dat"});
    std::filesystem::current_path(here);
    ws.AlgorithmFileName = "two_species_fit.alg";
    ws.Alg.Values = {0, -0.4, 0.2, 0.1, -0.06, 0.3, 0.08, 0.04, -0.25, 0.5, 1213, 3076, 887, 1};
    ws.Alg.Steps.assign(14, 0.0);
    for (int i = 1; i <= 9; ++i) ws.Alg.Steps[i] = 0.1;
    Evaluate();
  }
  void Evaluate() { ws.model->Evaluate(ws.Alg.Values, 1); }
  std::string ReportWithoutForecast() { return model::ComputeResultsSummary(*model::SummaryInputsOf(ws), {}).Text(); }
  Workspace ws{std::make_unique<OskaneModel>()};
};

// A front end that keeps what the summary hands to the plot window.
class PlotRecordingFrontend : public ui::ScriptedFrontend {
 public:
  std::vector<plots::XYPlotData> plots;
  void ShowXYPlot(const plots::XYPlotData& data) override { plots.push_back(data); }
};

TEST_F(SummaryOfTwoSpecies, InteractiveRunShowsPlotsAndForecastThenSaves) {
  PlotRecordingFrontend ui;
  ui.ExpectMessage("View plots?", ui::Answer::Yes)
      .ExpectMessage("Opportunity to generate a forecast for time period f", ui::Answer::Yes)
      .ExpectMessage("Output Summary");
  EXPECT_EQ(RunResultsSummary(ws, ui), SummaryOutcome::Completed);
  EXPECT_EQ(ui.messages[0].style, 36);
  EXPECT_EQ(ui.messages[0].text, "Do you want to see data plots?");
  EXPECT_EQ(ui.messages[2].text, "Summary completed as requested");
  EXPECT_EQ(ui.messages[2].style, 0);
  EXPECT_EQ(ui.statusHistory.front(), "One moment please...");
  EXPECT_EQ(ui.Status(5, 1), "");
  EXPECT_TRUE(ui.IsWindowOpen("frmSummary"));
  const std::string pane = ui.PaneText("frmSummary", "rtbOut");
  EXPECT_EQ(pane, FileBytes(testing::TestData("summary_two_species.kvo")));

  ASSERT_EQ(ui.plots.size(), 1u);
  const plots::XYPlotData& p = ui.plots[0];
  EXPECT_EQ(p.SeriesCount(), 6);
  EXPECT_EQ(p.Periods(), 48);
  EXPECT_EQ(p.seriesLabels[2], "ln[Predicted harvest rate indices]");
  EXPECT_EQ(p.seriesLabels[6], "Residuals");
  EXPECT_EQ(p.xLabel, "Time Counter");
  EXPECT_EQ(p.pageText, "1");
  for (int s : {2, 3, 5, 6}) EXPECT_TRUE(plots::IsMissing(p.values(1, s))) << s;
  EXPECT_FALSE(plots::IsMissing(p.values(1, 1)));
  // ln values lie in -3.0343..0.0895: bounds -3.2 and 0.1; indices in
  // -0.0527..0.9543: -0.064 and 1.
  EXPECT_NEAR(p.seriesMinimum[1], -3.2, 1e-12);
  EXPECT_NEAR(p.seriesMaximum[3], 0.1, 1e-14);
  EXPECT_NEAR(p.seriesMinimum[4], -0.064, 1e-14);
  EXPECT_NEAR(p.seriesMaximum[6], 1.0, 1e-13);

  const std::string path = testing::TempDir() + "/summary saved.kvo";
  ui.ExpectSave(path, "Save summary in...");
  ASSERT_EQ(SaveSummary(ui), path);
  const ui::FileDialog& dialog = ui.dialogs.back();
  EXPECT_EQ(dialog.filter, "All Files (*.*)|*.*|Output files (*.kvo)|*.kvo");
  EXPECT_EQ(dialog.filterIndex, 2);
  EXPECT_EQ(dialog.fileName, "Oskane_results.kvo");
  EXPECT_TRUE(dialog.overwritePrompt);
  const std::string saved = FileBytes(path);
  EXPECT_EQ(saved, "Originally saved with the file name: " + path + "\r\n\r\n" + pane);
  EXPECT_EQ(ui.PaneText("frmSummary", "rtbOut"), saved);

  // Cancel changes nothing; a failed write keeps the pane and reports it.
  ui.ExpectSave(std::nullopt);
  EXPECT_FALSE(SaveSummary(ui));
  ui.ExpectSave(testing::TempDir() + "/no such folder/x.kvo").ExpectMessage("Save failed");
  EXPECT_FALSE(SaveSummary(ui));
  EXPECT_EQ(ui.PaneText("frmSummary", "rtbOut"), saved);
}

TEST_F(SummaryOfTwoSpecies, DecliningPlotsAndForecastKeepsTheReport) {
  PlotRecordingFrontend ui;
  ui.ExpectMessage("View plots?", ui::Answer::No)
      .ExpectMessage("Opportunity to generate a forecast for time period f", ui::Answer::No);
  EXPECT_EQ(RunResultsSummary(ws, ui), SummaryOutcome::WithoutForecast);
  EXPECT_TRUE(ui.plots.empty());
  EXPECT_EQ(ui.PaneText("frmSummary", "rtbOut"), ReportWithoutForecast());
  EXPECT_EQ(ui.PendingPrompts(), 0u);
}

TEST_F(SummaryOfTwoSpecies, NonPositiveForecastEffortEndsOnlyTheForecast) {
  ws.Alg.Values[10] = 0;
  Evaluate();
  PlotRecordingFrontend ui;
  ui.ExpectMessage("View plots?", ui::Answer::No)
      .ExpectMessage("Opportunity to generate a forecast for time period f", ui::Answer::Yes)
      .ExpectMessage("Kalvex");
  EXPECT_EQ(RunResultsSummary(ws, ui), SummaryOutcome::Fault);
  EXPECT_EQ(ui.LastMessage().text,
            "Invalid procedure call or argument\r\nThe fault arose while "
            "computing the forecast for time period f.");
  EXPECT_EQ(ui.LastMessage().style, 16);
  EXPECT_EQ(ui.PaneText("frmSummary", "rtbOut"), ReportWithoutForecast());
  EXPECT_EQ(ui.Status(5, 1), "");
}

TEST(SummaryWindow, AModelWithoutASummaryShowsNothing) {
  Workspace ws(std::make_unique<testing::FunctionModel>(2, [](std::span<const double>) { return 1.0; }));
  ui::ScriptedFrontend ui;
  EXPECT_EQ(RunResultsSummary(ws, ui), SummaryOutcome::NotOffered);
  EXPECT_FALSE(ui.IsWindowOpen("frmSummary"));
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace kalvex
