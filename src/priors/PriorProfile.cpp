#include "priors/PriorProfile.h"

#include <cmath>

#include "evaluation/DistributionStatistics.h"
#include "evaluation/PointSweep.h"
#include "ui/NumberInput.h"
#include "workspace/ComputePriorValue.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/PriorTable.h"
#include "workspace/Results.h"
#include "workspace/TextFile.h"

namespace kalvex {
namespace {

namespace style = ui::style;

constexpr const char* kTitle = kPriorProfileTitle;
constexpr double kLowEdge = 1e-6;
constexpr double kHighEdge = 0.999999;

double FootNumber(const PriorVariant& term, const PriorEntry& prior, int parameter) {
  if (term.number) return *term.number;
  throw NumericFault("Type mismatch in the prior of parameter #" + std::to_string(parameter) + " (" +
                     DistributionName(prior.TypeLetters) + ")");
}

std::string Field(double value) { return RightJustify(FormatNumber(value, "0.0000E+000   "), 15); }

// Asks until the answer is a number within [low, high]; nullopt for an empty answer.
std::optional<double> AskNumber(ui::Frontend& ui, const std::string& prompt, const std::string& proposed, double low,
                                double high) {
  for (;;) {
    ui::NumberAnswer answer = ui::AskNumber(ui, prompt, kTitle, proposed);
    if (!answer.IsNumber()) return std::nullopt;
    if (answer.value >= low && answer.value <= high) return answer.value;
  }
}

// The parameter, asked until it is one with a prior to plot.
std::optional<int> AskParameter(const Workspace& ws, ui::Frontend& ui, int selected) {
  const int n = ws.Alg.NumParameters;
  const std::string prompt = "Choose the parameter number to be profiled.\r\n(0 < parameter # <= " +
                             std::to_string(n) + ")";
  const std::string proposed = std::to_string(selected > 1 ? selected : 1);
  for (;;) {
    std::optional<double> number = AskNumber(ui, prompt, proposed, 1, n);
    if (!number) return std::nullopt;
    PriorProfileSettings settings;
    settings.parameter = ToInt16(*number).value_or(1);
    std::optional<std::string> refusal = settings.Validate(ws.Priors);
    if (!refusal) return settings.parameter;
    ui.Message(kTitle, *refusal, style::kExclamation);
  }
}

}  // namespace

int PriorProfilePointCount(int requested) {
  if (requested == 0) return 101;
  int count = requested < 3 ? 3 : requested;
  return count % 2 == 0 ? count + 1 : count;
}

std::optional<std::string> PriorProfileSettings::Validate(const PriorTable& priors) const {
  const int n = static_cast<int>(priors.size()) - 1;
  if (parameter < 1 || parameter > n) return "The parameter number must be from 1 to " + std::to_string(n);
  if (LetterOf(priors[parameter]) == 'U')
    return std::string("There is nothing to plot when the prior distribution is uniform-unbounded");
  if (requestedPoints < 0 || requestedPoints > kMaxPriorProfilePoints)
    return "The number of points must be from 0 to " + std::to_string(kMaxPriorProfilePoints);
  return std::nullopt;
}

PriorProfileDomain PriorProfileDomainOf(const PriorEntry& prior, int count, int parameter) {
  const double f = prior.FirstTerm;
  const double s = prior.SecondTerm;
  const double intervals = count - 1;
  double centre = f;
  double h = 10 * s / intervals;  // five SDs either side
  const char letter = LetterOf(prior);
  switch (letter) {
    case 'E':
      // From 0 to ten times the mean, the reciprocal of the decay rate.
      centre = 0;
      h = 20 * std::fabs(f) / intervals;
      break;
    case 'B':
      centre = 0.5;
      h = 1 / intervals;
      break;
    case 'S':
    case 'D':
      h = s > 0 ? 6 * s / intervals : 2 * f / intervals;  // three SDs either side of the foot
      if (h == 0) h = 0.1;
      break;
    case 'T': {
      const double r = FootNumber(prior.ThirdTerm, prior, parameter);
      const double q = FootNumber(prior.FourthTerm, prior, parameter);
      centre = ((f - 3 * s) + (r + 3 * q)) / 2;
      h = std::fabs(r + 3 * q - (f - 3 * s)) / intervals;
      if (h == 0) h = 0.1;
      break;
    }
    default: break;
  }
  // A negative SD or foot (possible in a hand-edited file) still lays the points left to right.
  h = std::fabs(h);

  PriorProfileDomain domain;
  domain.spacing = h;
  std::vector<double>& x = domain.x;
  x.assign(static_cast<std::size_t>(count) + 1, 0.0);
  const double mid = (count - 1) / 2 + 1;
  for (int k = 1; k <= count; ++k) x[k] = (k - mid) * h + centre;
  const double first = x[1], last = x[count];
  if ((letter == 'G' || letter == 'L') && first < kLowEdge) {
    for (int k = 1; k <= count; ++k) x[k] = (k - 1) * h * last / (last - first) + kLowEdge;
    domain.spacing = h * last / (last - first);
  } else if (letter == 'E' && first < 0) {
    for (int k = 1; k <= count; ++k) x[k] = (k - 1) * h * last / (last - first);
    domain.spacing = h * last / (last - first);
  } else if (letter == 'B') {
    x[1] = kLowEdge;
    x[count] = kHighEdge;
  }
  return domain;
}

PriorProfile ComputePriorProfile(const PriorTable& priors, const PriorProfileSettings& settings,
                                 const std::function<void(int, double)>& onPoint) {
  const int parameter = settings.parameter;
  const int count = settings.PointCount();
  const PriorEntry& prior = priors[parameter];
  PriorProfileDomain domain = PriorProfileDomainOf(prior, count, parameter);
  PointSweep sweep = SweepPoints(
      count, [&](int k) { return domain.x[k]; },
      [&](int k, double x) -> std::optional<double> {
        if (onPoint) onPoint(k, x);
        return PriorTermAt(prior, x, parameter);
      });
  PriorProfile profile;
  profile.parameter = parameter;
  profile.spacing = domain.spacing;
  profile.table = std::move(sweep.table);
  profile.summary = sweep.summary;
  EvaluationSummary& summary = profile.summary;
  if (summary.ModeIndex == 0) {  // every term at or above 1e100: the first point stands in
    summary.ModeIndex = 1;
    summary.ModeValue = profile.table.GridValue[1];
  }
  DistributionStatistics(profile.table, summary, summary.ModeIndex, profile.spacing);
  return profile;
}

std::string PriorProfileReport(const PriorProfile& profile) {
  const EvaluationTable& t = profile.table;
  const EvaluationSummary& s = profile.summary;
  TextBuilder text;
  text.Line("Bayesian prior distribution data");
  text.Line();
  text.Line("  Point       Value         -ln[L]           PDF        Cumulative     Attenuated     Normal PDF");
  for (int k = 1; k <= t.PointCount; ++k)
    text.Line(RightJustify(FormatNumber(k, "##0"), 5) + "    " + Field(t.GridValue[k]) + Field(t.NegLnL[k]) +
              Field(t.Pdf[k]) + Field(t.Cumulative[k]) + Field(1 - t.Cumulative[k]) + Field(t.NormalPdf[k]));
  text.Line();
  text.Line("Max Likelihood: " + Field(s.ModeValue));
  text.Line("Expected Value: " + Field(s.ExpectedValue));
  text.Line("Estimated Diff: " + Field(s.EstimatedDiff));
  text.Line("Percent Diff:   " + Field(PercentDiff(s)));
  text.Line("Estimated SE:   " + Field(s.EstimatedSE));
  return text.Text();
}

std::optional<PriorProfileSettings> AskPriorProfileSettings(const Workspace& ws, ui::Frontend& ui, int selected) {
  if (ui.Message(kTitle,
                 "This routine will create a series of plots to evaluate prior distributions.\r\n"
                 "If the prior distribution is uniform-unbounded (U) no plots will be generated.\r\n"
                 "First choose the parameter to be profiled, then the number of data points.\r\n"
                 "This routine uses the moments (mean and SD) to set the domain of the parameter.",
                 style::kOkCancel + style::kInformation) == ui::Answer::Cancel)
    return std::nullopt;
  ui.Message(kTitle,
             "Choose plot 1 to get a likelihood profile plot. \r\n"
             "Choose plot 2 to get a Bayesian prior distribution. \r\n"
             "Choose plot 3 to get a mode-centered confidence region plot. \r\n"
             "Choose plot 4 to get a mean-centered confidence region plot. \r\n"
             "Choose plot 5 to get a left to right ascending cumulative plot. \r\n"
             "Choose plot 6 to get a left to right descending cumulative plot. \r\n"
             "Choose plot 7 to get a mode-centered Gaussian distribution plot. ",
             style::kInformation);
  std::optional<int> parameter = AskParameter(ws, ui, selected);
  if (!parameter) return std::nullopt;
  std::optional<double> requested = AskNumber(
      ui, "Choose the number of x-y data points per plot.\r\n(0 <= # points <= 1001)", "101", 0,
      kMaxPriorProfilePoints);
  if (!requested) return std::nullopt;
  PriorProfileSettings settings;
  settings.parameter = *parameter;
  settings.requestedPoints = ToInt16(*requested).value_or(0);
  return settings;
}

}  // namespace kalvex
