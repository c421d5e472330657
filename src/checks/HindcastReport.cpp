#include "checks/HindcastReport.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "plots/Panel.h"
#include "workspace/Format.h"

namespace kalvex::checks {
namespace {

std::string Figure5(double value) { return FormatNumber(value, "####0.00000"); }
std::string Index(double value) { return FormatNumber(value, "###0.0000"); }

double LastYear(const HindcastRun& run) { return run.years.empty() ? 0 : run.years.back(); }

std::string EstimatesRow(const std::string& peel, double year, const std::vector<double>& estimates) {
  std::string row = RightJustify(peel, 7) + "," + RightJustify(FormatNumber(year, "###0"), 11);
  for (std::size_t i = 1; i < estimates.size(); ++i)
    row += "," + RightJustify(FormatNumber(estimates[i], "####0.0000000"), 14);
  return row;
}

}  // namespace

HindcastSkill ScoreRun(const HindcastRun& run) {
  std::vector<PeelForecast> peels;
  for (const PeelOutcome& peel : run.peels) peels.push_back(peel.forecast);
  return ScoreHindcast(peels, run.fullEstimates);
}

std::string HindcastReportText(const ReportSources& sources, const HindcastRun& run, const HindcastSkill& skill) {
  TextBuilder t;
  t.Line("Hindcast of the current fit");
  t.Line();
  SourceLines(t, sources);
  t.Line();
  t.Line(Row("Peels:", std::to_string(run.peels.size())));
  t.Line(Row("Minimizer:", run.minimizer));
  t.Line(Row("Derivatives:", run.analytical ? "analytical" : "numerical"));
  t.Line(Row("The full fit's objective:", FormatNumber(run.fullObjective, "0.000000000E+00"), 17));
  t.Line();
  t.Line(
      "Each peel is fitted to the periods up to its last year and forecasts "
      "the next year with that");
  t.Line(
      "year's effort, catches and intervention, as the results summary "
      "forecasts. Forecast is the most");
  t.Line(
      "likely index; Lower and Upper bound its 95 % CI, exp(ln forecast -+ "
      "1.96 SD of ln forecast), the");
  t.Line(
      "interval the summary's CI table gives; the error is ln(observed "
      "index) - ln(forecast index):");
  t.Line();
  t.Line(
      "   Peel,  Last year,        Objective,         Ended,   Forecast,    "
      "  Lower,      Upper,   Observed,"
      "    ln error,  Within");
  for (const PeelOutcome& p : run.peels) {
    const PeelForecast& f = p.forecast;
    t.Line(RightJustify(std::to_string(f.peel), 7) + "," + RightJustify(FormatNumber(f.lastYearFitted, "###0"), 11) +
           "," + RightJustify(FormatNumber(p.objective, "0.000000000E+00"), 17) + "," + RightJustify(p.ended, 14) +
           "," + RightJustify(Index(std::exp(f.forecastLnIndex)), 11) + "," + RightJustify(Index(f.lower), 11) + "," +
           RightJustify(Index(f.upper), 11) + "," + RightJustify(Index(f.observed), 11) + "," +
           RightJustify(FormatNumber(ForecastError(f), "###0.000000"), 12) + "," +
           RightJustify(Covered(f) ? "yes" : "no", 8));
  }
  t.Line();
  t.Line("Skill of the forecasts:");
  t.Line();
  t.Line(Row("Root mean square error of ln(index):", Figure5(skill.rmse)));
  t.Line(Row("Mean absolute error of ln(index):", Figure5(skill.mae)));
  t.Line(Row("Mean error (bias) of ln(index):", Figure5(skill.bias)));
  t.Line(Row("Observed within the 95 % bounds:", std::to_string(skill.covered) + " of " + std::to_string(skill.peels)));
  t.Line(Row("MASE (against next year as this year):", skill.mase ? Figure5(*skill.mase) : "not defined"));
  t.Line();
  t.Line("Estimates by peel:");
  t.Line();
  std::string header = "   Peel,  Last year";
  for (std::size_t i = 1; i < run.freeIndex.size(); ++i)
    header += "," + RightJustify("Par " + FormatNumber(run.freeIndex[i], "00"), 14);
  t.Line(header);
  t.Line(EstimatesRow("Full", LastYear(run), run.fullEstimates));
  for (const PeelOutcome& p : run.peels)
    t.Line(EstimatesRow(std::to_string(p.forecast.peel), p.forecast.lastYearFitted, p.forecast.estimates));
  t.Line();
  t.Line("Mohn's rho (the mean over the peels of (estimate - full) / full):");
  t.Line();
  for (std::size_t i = 1; i < run.freeIndex.size(); ++i) {
    const std::optional<double>& rho = i < skill.mohnsRho.size() ? skill.mohnsRho[i] : std::nullopt;
    const int parameter = run.freeIndex[i];
    if (rho)
      t.Line(ParameterLine(parameter, "rho", *rho, DescriptionOf(run.descriptions, parameter)));
    else
      t.Line("Parameter # " + FormatNumber(parameter, "00") + " rho: " + RightJustify("not defined  ", 24) +
             DescriptionOf(run.descriptions, parameter));
  }
  t.Line();
  t.Line("Done!");
  return t.Text();
}

plots::Figure HindcastFigure(const HindcastRun& run, const HindcastSkill& skill) {
  plots::Figure figure = plots::BlankFigure(kCheckPictureWidth, kCheckPictureHeight);
  // The years forecast and as many again before them (ten at least), so
  // that the forecasts and their bounds can be told apart.
  const std::size_t n = run.observed.size(), peels = run.peels.size();
  const std::size_t from =
      n > peels + std::max<std::size_t>(2 * peels, 10) ? n - peels - std::max<std::size_t>(2 * peels, 10) : 0;
  const std::span<const double> years = std::span(run.years).subspan(from),
                                observed = std::span(run.observed).subspan(from);
  double high = 0;
  for (double v : observed) high = std::max(high, v);
  for (std::size_t i = from; i < run.fullPrediction.size(); ++i)
    if (run.fullPrediction[i]) high = std::max(high, *run.fullPrediction[i]);
  for (const PeelOutcome& p : run.peels) high = std::max(high, p.forecast.upper);
  const double first = years.empty() ? 0 : years.front(), last = LastYear(run);
  plots::Panel panel(figure, plots::PlotArea(figure.width, figure.height), {first - 0.5, last + 0.5}, {0, 1.05 * high});
  constexpr int kForecastColour = 12;
  if (peels > 0) panel.Column(last - peels + 0.5, last + 0.5, kForecastColour);
  panel.Frame(plots::RoundTicks(first, last, 8, 1), plots::RoundTicks(0, 1.05 * high, 6));
  for (std::size_t i = from + 1; i < run.fullPrediction.size(); ++i)
    if (run.fullPrediction[i - 1] && run.fullPrediction[i])
      panel.Segment(run.years[i - 1], *run.fullPrediction[i - 1], run.years[i], *run.fullPrediction[i], 9);
  for (const PeelOutcome& p : run.peels) {
    const PeelForecast& f = p.forecast;
    const double year = f.lastYearFitted + 1;
    panel.Segment(year, f.lower, year, f.upper, kForecastColour);
    panel.Segment(year - 0.2, f.lower, year + 0.2, f.lower, kForecastColour);
    panel.Segment(year - 0.2, f.upper, year + 0.2, f.upper, kForecastColour);
    panel.Disc(year, std::exp(f.forecastLnIndex), kForecastColour, 55);
  }
  // The observed values last, on top of the forecasts.
  panel.Polyline(years, observed, 8);
  for (std::size_t i = 0; i < years.size(); ++i) panel.Disc(years[i], observed[i], plots::kBlack);
  const std::string subtitle = "RMSE " + FormatNumber(skill.rmse, "0.0000") + ", MASE " +
                               (skill.mase ? FormatNumber(*skill.mase, "0.000") : std::string("not defined")) +
                               ", covered " + std::to_string(skill.covered) + " of " + std::to_string(skill.peels);
  panel.Titles("Hindcast: " + std::to_string(peels) + " peels", subtitle, "Year", "Harvest rate index");
  using Marker = plots::LegendKey::Marker;
  const plots::LegendKey keys[] = {
      {"Observed", plots::kBlack, false, plots::Stroke::Solid, Marker::Disc},
      {"Full fit", 9},
      {"Forecasts with 95 % bounds", kForecastColour, false, plots::Stroke::Solid, Marker::Disc}};
  panel.Legend(keys);
  return figure;
}

plots::Figure EstimatesByPeelFigure(const HindcastRun& run, const HindcastSkill& skill) {
  plots::Figure figure = plots::BlankFigure(kCheckPictureWidth, kCheckPictureHeight);
  const double last = LastYear(run);
  double first = last, reach = 0.01;
  std::vector<std::vector<double>> changes(run.fullEstimates.size());
  std::vector<double> years = {last};
  for (const PeelOutcome& p : run.peels) {
    years.push_back(p.forecast.lastYearFitted);
    first = std::min(first, p.forecast.lastYearFitted);
  }
  for (std::size_t i = 1; i < run.fullEstimates.size(); ++i) {
    if (!skill.mohnsRho.at(i)) continue;
    changes[i].push_back(0);
    for (const PeelOutcome& p : run.peels) {
      changes[i].push_back(p.forecast.estimates.at(i) / run.fullEstimates[i] - 1);
      reach = std::max(reach, std::fabs(changes[i].back()));
    }
  }
  plots::PanelBox box = plots::PlotArea(figure.width, figure.height);
  box.right -= 1100;  // the legend beside
  plots::Panel panel(figure, box, {first - 0.5, last + 0.5}, {-1.1 * reach, 1.1 * reach});
  panel.Frame(plots::RoundTicks(first, last, 8, 1), plots::RoundTicks(-1.1 * reach, 1.1 * reach, 6));
  panel.Level(0, plots::kBlack, plots::Stroke::Dot);
  // One palette colour per parameter, skipping white and the pale greys.
  constexpr int kColours[] = {1, 2, 4, 5, 6, 9, 12, 3, 13, 8, 10, 11, 14};
  std::vector<plots::LegendKey> keys;
  for (std::size_t i = 1; i < changes.size(); ++i) {
    if (changes[i].empty()) continue;
    const int colour = kColours[keys.size() % std::size(kColours)];
    panel.Polyline(years, changes[i], colour);
    for (std::size_t k = 0; k < years.size(); ++k) panel.Disc(years[k], changes[i][k], colour, 30);
    keys.push_back({"Par " + FormatNumber(run.freeIndex.at(i), "00") + ": rho " +
                        (skill.mohnsRho[i] ? FormatNumber(*skill.mohnsRho[i], "0.000") : std::string("undefined")),
                    colour, true, plots::Stroke::Solid, plots::LegendKey::Marker::Disc});
  }
  panel.Titles("Estimates by peel", "Relative change from the full fit, one line per free parameter",
               "Last year fitted", "(estimate - full) / full");
  panel.Legend(keys, plots::Panel::LegendPlace::Right);
  return figure;
}

}  // namespace kalvex::checks
