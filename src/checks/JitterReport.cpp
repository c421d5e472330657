#include "checks/JitterReport.h"

#include <algorithm>

#include "plots/Panel.h"
#include "workspace/Format.h"

namespace kalvex::checks {
namespace {

constexpr const char* kObjective = "0.000000000E+00";  // ten digits: minima within a small tolerance differ there
constexpr int kObjectiveWidth = 17;

std::string Objective(double value) { return FormatNumber(value, kObjective); }

}  // namespace

std::string EndedText(const StartOutcome& start, FitMinimizer minimizer) {
  if (start.faulted) return "fault";
  switch (start.end) {
    case RunEnd::Converged: return "converged";
    case RunEnd::Limit: return minimizer == FitMinimizer::Simplex ? "call limit" : "iter. limit";
    case RunEnd::Interrupted: return "interrupted";
    case RunEnd::GaveUp: return "gave up";
    case RunEnd::DecompositionFailed: return "singular";
    default: return "error";
  }
}

std::string EndedWord(const StartOutcome& start) { return start.faulted ? "fault" : RunEndName(start.end); }

MinimaSummary GroupStarts(const JitterRun& run) {
  std::vector<FitReached> fits;
  for (const StartOutcome& start : run.starts) fits.push_back(start.reached);
  return GroupMinima(fits, run.freeSteps, run.tolerance);
}

bool LowerMinimumFound(const JitterRun& run, const MinimaSummary& minima) {
  if (minima.minima.empty()) return false;
  const double best = minima.minima.front().objective;
  return best < run.currentObjective && !WithinTolerance(best, run.currentObjective, run.tolerance);
}

std::string JitterReportText(const ReportSources& sources, const JitterRun& run, const MinimaSummary& minima) {
  TextBuilder t;
  const int count = static_cast<int>(run.starts.size());
  t.Line("Jittered starts of the current fit");
  t.Line();
  SourceLines(t, sources);
  t.Line();
  // An interrupted run reports the starts fitted before the interrupt.
  const bool interrupted = count < run.settings.starts;
  const std::string starts =
      std::to_string(count) + (interrupted ? " of " + std::to_string(run.settings.starts) + " (interrupted)" : "");
  t.Line(Row("Starts:", starts, interrupted ? 30 : 12));
  t.Line(Row("Spread J (value + J x u x max(|value|, |step|)):", FormatNumber(run.settings.spread, "####0.00000")));
  const std::string seed = std::to_string(run.settings.seed);
  t.Line(Row("Seed:", seed, std::max<int>(12, static_cast<int>(seed.size()))));
  const bool simplex = run.settings.minimizer == FitMinimizer::Simplex;
  t.Line(Row("Minimizer:", simplex ? "Simplex" : "Marquardt"));
  t.Line(Row("Derivatives:", simplex ? "none" : run.settings.analytical ? "analytical" : "numerical"));
  t.Line(Row(run.tolerance >= 0 ? "Tolerance (absolute):" : "Tolerance (relative):",
             FormatNumber(run.tolerance, "0.0000E+00")));
  t.Line(Row("The current fit's objective:", Objective(run.currentObjective), kObjectiveWidth));
  t.Line();
  t.Line("  Start,  Start objective,          Minimum,         Ended,     Calls,  Rel. distance");
  for (int k = 0; k < count; ++k) {
    const StartOutcome& s = run.starts[k];
    const std::optional<double>& distance = minima.distance.at(k);
    t.Line(RightJustify(std::to_string(k + 1), 7) + "," +
           RightJustify(s.startObjective ? Objective(*s.startObjective) : "-", kObjectiveWidth) + "," +
           RightJustify(s.reached.objective ? Objective(*s.reached.objective) : "-", kObjectiveWidth) + "," +
           RightJustify(EndedText(s, run.settings.minimizer), 14) + "," + RightJustify(std::to_string(s.calls), 10) +
           "," + RightJustify(distance ? FormatNumber(*distance, "0.0000E+00") : "-", 15));
  }
  t.Line();
  if (minima.minima.empty()) {
    t.Line("No start reached a minimum.");
  } else {
    t.Line(Row("The best minimum:", Objective(minima.minima.front().objective), kObjectiveWidth));
    t.Line(Row("Reached first by start:", std::to_string(minima.BestFit())));
    t.Line(Row("Starts that reached it:", std::to_string(minima.ReachedBest()) + " of " + std::to_string(count)));
    t.Line(Row("Distinct minima:", std::to_string(minima.minima.size())));
    t.Line();
    t.Line("  Minimum,        Objective,    Starts,  First start");
    for (std::size_t m = 0; m < minima.minima.size(); ++m) {
      const MinimumFound& found = minima.minima[m];
      t.Line(RightJustify(std::to_string(m + 1), 9) + "," + RightJustify(Objective(found.objective), kObjectiveWidth) +
             "," + RightJustify(std::to_string(found.count), 10) + "," +
             RightJustify(std::to_string(found.bestFit), 13));
    }
    t.Line();
    t.Line("The best vector (start " + std::to_string(minima.BestFit()) + "):");
    t.Line();
    const std::vector<double>& best = run.starts[minima.BestFit() - 1].reached.freeValues;
    for (std::size_t i = 1; i < run.freeIndex.size() && i < best.size(); ++i)
      t.Line(ParameterLine(run.freeIndex[i], "estimate", best[i], DescriptionOf(run.descriptions, run.freeIndex[i])));
    t.Line();
    t.Line(LowerMinimumFound(run, minima)
               ? "Start " + std::to_string(minima.BestFit()) + " found a lower minimum than the current fit's."
               : std::string("No start found a minimum below the current fit's."));
  }
  t.Line();
  t.Line("Done!");
  return t.Text();
}

plots::Figure MinimaFigure(const JitterRun& run, const MinimaSummary& minima) {
  plots::Figure figure = plots::BlankFigure(kCheckPictureWidth, kCheckPictureHeight);
  std::vector<double> reached;
  for (const StartOutcome& s : run.starts)
    if (s.reached.objective) reached.push_back(*s.reached.objective);
  std::sort(reached.begin(), reached.end());
  // Heights above the best minimum: minima a tolerance apart stay apart on the page.
  const double best = reached.empty() ? run.currentObjective : reached.front();
  double top = run.currentObjective - best;
  for (double f : reached) top = std::max(top, f - best);
  const double low = std::min(0.0, run.currentObjective - best), margin = (top - low) * 0.05;
  const plots::AxisRange x{0.5, std::max<double>(reached.size(), 1) + 0.5};
  plots::Panel panel(figure, plots::PlotArea(figure.width, figure.height), x, {low - margin, top + margin});
  std::vector<double> rankTicks = plots::RoundTicks(1, std::max<double>(reached.size(), 1), 8, 1);
  panel.Frame(rankTicks, plots::RoundTicks(low - margin, top + margin, 6));
  panel.Level(run.currentObjective - best, 12, plots::Stroke::Dash);
  for (std::size_t k = 0; k < reached.size(); ++k) {
    const bool atBest = WithinTolerance(reached[k], best, run.tolerance);
    panel.Disc(static_cast<double>(k + 1), reached[k] - best, atBest ? 2 : plots::kBlack);
  }
  const std::string subtitle = "Best " + Objective(best) + ", reached by " + std::to_string(minima.ReachedBest()) +
                               " of " + std::to_string(run.starts.size());
  panel.Titles("Minima reached from " + std::to_string(run.starts.size()) + " jittered starts", subtitle,
               "Starts, sorted by the minimum reached", "Objective above the best minimum");
  using Marker = plots::LegendKey::Marker;
  const plots::LegendKey keys[] = {{"A minimum reached", plots::kBlack, false, plots::Stroke::Solid, Marker::Disc},
                                   {"The best, within the tolerance", 2, false, plots::Stroke::Solid, Marker::Disc},
                                   {"The current fit", 12, true, plots::Stroke::Dash}};
  panel.Legend(keys);
  return figure;
}

}  // namespace kalvex::checks
