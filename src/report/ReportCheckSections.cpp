// The sections of the checks of a fit (residual diagnostics, jittered
// starts, hindcast) and of the ranking of competing models.
#include "checks/ReportText.h"
#include "ranking/RankingText.h"
#include "report/ReportDocument.h"

namespace kalvex::report {
namespace {

// The value of the labelled line that starts with label ("" when there is none).
std::string LabelledValue(const TextLines& lines, std::string_view label) {
  const std::size_t at = lines.Find(label);
  if (at == lines.size()) return {};
  Row row = Labelled(lines[at]);
  return row.size() == 2 ? row[1] : std::string();
}

// The comma table whose header line starts with heading, from line `from` on.
bool AddHeaderedTable(Section& section, const TextLines& lines, std::string_view heading, std::string caption,
                      std::size_t from = 0) {
  const std::size_t at = lines.Find(heading, from);
  if (at == lines.size()) return false;
  CutTable cut = CommaTable({lines[at]}, lines.BlockAfter(at));
  section.blocks.push_back(Table{std::move(caption), std::move(cut.head), std::move(cut.rows)});
  return true;
}

// "Parameter # 01 rho:   0.0833333  Intercept" lines as a table.
Table ParameterTable(std::string caption, std::string valueHeader, const std::vector<std::string>& lines) {
  Table table{std::move(caption), {"Par#", std::move(valueHeader), "Parameter"}, {}};
  for (const std::string& line : lines) {
    Row labelled = Labelled(line);
    if (labelled.size() != 2 || !labelled[0].starts_with("Parameter #")) continue;
    const std::string& value = labelled[1];
    // "not defined" is two words; a number is one.
    const std::size_t cut = value.starts_with("not defined") ? 11 : value.find(' ');
    table.rows.push_back({Words(labelled[0]).at(2), value.substr(0, cut),
                          cut == std::string::npos ? std::string() : Trim(value.substr(cut))});
  }
  return table;
}

}  // namespace

void DiagnosticsSection(const SectionInput& in, Section& section) {
  const checks::Diagnostics& d = *in.results.diagnostics;
  const TextLines lines(in.File(in.names.Diagnostics()));
  const std::size_t first = lines.Find("The likelihood function minimum");
  const std::size_t acf = lines.Find("Autocorrelation (95 % band", first);
  section.blocks.push_back(LabelledTable(
      "The standardized one-step-ahead residuals of the index and their tests. If the likelihood's assumptions "
      "hold they have mean 0 and SD 1, no autocorrelation (Ljung-Box p above 0.05), a normal distribution "
      "(Shapiro-Wilk p above 0.05), as many runs of one sign as chance gives (runs p above 0.05) and none beyond "
      "three standard deviations.",
      lines.Between(first, acf)));
  if (acf < lines.size())
    AddHeaderedTable(section, lines, "Lag,",
                     Trim(lines[acf]) + " Autocorrelations outside the band are significant at the 5 % level.", acf);
  if (std::size_t at = lines.Find("Residuals (standardized"); at < lines.size())
    AddHeaderedTable(section, lines, "Year,", Trim(lines[at]), at);
  const char* captions[] = {
      "The standardized residuals against the year, runs of one sign shaded. Long runs or a trend mean the "
      "model misses a pattern in the data.",
      "The normal Q-Q plot: the sorted residuals against the normal quantiles, with a 95 % pointwise band. Points "
      "along the line are normal; points that leave the band at the ends mean heavy or light tails.",
      "The autocorrelation of the residuals by lag with the 95 % band +-1.96/sqrt(n). Bars beyond the band are "
      "autocorrelations the moving-average errors did not take up.",
      "The histogram of the residuals with the standard normal density: the two should agree in centre, spread "
      "and shape."};
  for (std::size_t k = 0; k < checks::kDiagnosticsPlots.size(); ++k)
    section.blocks.push_back(
        FigureBlock{checks::DiagnosticsFigure(checks::kDiagnosticsPlots[k], d.series, d.stats), captions[k]});

  const checks::ResidualStatistics& s = d.stats;
  auto failing = [&](const char* test, double p, const char* meaning) {
    if (p < 0.05)
      in.warnings.push_back({section.id, std::string("The residuals fail the ") + test + " (p = " +
                                             checks::ProbabilityText(p) + "): " + meaning});
  };
  if (s.ljungBox) failing("Ljung-Box test", s.ljungBox->P, "they are autocorrelated.");
  if (s.shapiro) failing("Shapiro-Wilk test", s.shapiro->P, "they are not normal.");
  if (s.runs.P) failing("runs test", *s.runs.P, "their signs do not change at random.");
  if (s.threeSigma.outside > 0)
    in.warnings.push_back({section.id, std::to_string(s.threeSigma.outside) +
                                           " residuals lie beyond three standard deviations."});
}

void JitterSection(const SectionInput& in, Section& section) {
  const checks::JitterRun& run = *in.results.jitter;
  const TextLines lines(in.File(in.names.Jitter()));
  const std::size_t settings = lines.Find("Starts:");
  const std::size_t starts = lines.Find("Start,", settings);
  section.blocks.push_back(LabelledTable("How the starts were drawn: each free parameter's value plus J x u x "
                                         "max(|value|, |step|), u uniform on (-1, 1), from the seed given.",
                                         lines.Between(settings, starts)));
  AddHeaderedTable(section, lines, "Start,",
                   "Each start: the objective at the start, the minimum its fit reached, how the fit ended, its "
                   "function calls and the largest relative distance of its parameters from the best fit's.");
  const std::size_t best = lines.Find("The best minimum:");
  const std::size_t minima = lines.Find("Minimum,", best);
  if (best < lines.size())
    section.blocks.push_back(LabelledTable(
        "The best minimum and how many starts reached it (within the algorithm data's tolerance). When most "
        "starts reach the best minimum and it equals the fit's, the fit is the global minimum as far as these "
        "starts can tell.",
        lines.Between(best, minima)));
  AddHeaderedTable(section, lines, "Minimum,",
                   "The distinct minima reached, the best first: objectives within the tolerance count as one.");
  if (std::size_t vector = lines.Find("The best vector"); vector < lines.size())
    section.blocks.push_back(
        ParameterTable(Trim(lines[vector]), "Estimate", lines.BlockAfter(vector)));
  const checks::MinimaSummary grouped = checks::GroupStarts(run);
  section.blocks.push_back(FigureBlock{
      checks::MinimaFigure(run, grouped),
      "The minimum each start reached, as its height above the best minimum, sorted from the lowest; the fit's "
      "objective is the dashed line. Points at zero reached the best minimum; a dashed line above zero means the "
      "fit missed it; points higher up are local minima or fits that stopped early."});
  if (checks::LowerMinimumFound(run, grouped))
    in.warnings.push_back(
        {section.id, "Start " + std::to_string(grouped.BestFit()) + " of the jittered starts found a lower minimum (" +
                         LabelledValue(lines, "The best minimum:") + ") than the fit (" +
                         LabelledValue(lines, "The current fit's objective:") + ")."});
}

void HindcastSection(const SectionInput& in, Section& section) {
  const checks::HindcastRun& run = *in.results.hindcast;
  const TextLines lines(in.File(in.names.Hindcast()));
  const std::size_t settings = lines.Find("Peels:");
  const std::size_t each = lines.Find("Each peel is fitted", settings);
  section.blocks.push_back(LabelledTable("The hindcast's settings and the full fit it is measured against.",
                                         lines.Between(settings, each)));
  AddHeaderedTable(section, lines, "Peel,",
                   "Each peel refits the periods up to its last year and forecasts the next one as the results "
                   "summary does: the forecast index with its 95 % bounds, the index observed, the error of "
                   "ln(index) (positive when the forecast was too low) and whether the observation lies within the "
                   "bounds.");
  const std::size_t skill = lines.Find("Skill of the forecasts");
  const std::size_t estimates = lines.Find("Estimates by peel", skill);
  if (skill < lines.size())
    section.blocks.push_back(LabelledTable(
        "The skill of the forecasts: root mean square, mean absolute and mean error of ln(index), how many "
        "observations lie within their bounds, and the MASE, the mean absolute error over that of the naive "
        "forecast next year = this year (below 1 the model forecasts better).",
        lines.Between(skill + 1, estimates)));
  AddHeaderedTable(section, lines, "Peel,",
                   "The free parameters' estimates of the full fit and of each peel: the drift as years are added.",
                   estimates);
  if (std::size_t rho = lines.Find("Mohn's rho"); rho < lines.size())
    section.blocks.push_back(ParameterTable(
        Trim(lines[rho]) + " A rho far from 0 means the estimate changes systematically as years are added.", "rho",
        lines.BlockAfter(rho)));
  const checks::HindcastSkill scored = checks::ScoreRun(run);
  section.blocks.push_back(FigureBlock{
      checks::HindcastFigure(run, scored),
      "The observed index over the years, the full fit's predictions, and each peel's forecast of the year after "
      "its last with its 95 % bounds. Forecasts whose bounds miss the observations, or that lie on one side of "
      "them, show a model that forecasts worse than its fit suggests."});
  section.blocks.push_back(FigureBlock{
      checks::EstimatesByPeelFigure(run, scored),
      "Each free parameter's relative change from the full fit's estimate, by the last year a peel fitted: lines "
      "that stay near 0 mean stable estimates; lines that move one way as years are removed are the drift Mohn's "
      "rho measures."});
  if (scored.mase && *scored.mase >= 1)
    in.warnings.push_back({section.id, "The hindcast's forecasts did no better than next year = this year (MASE " +
                                           LabelledValue(lines, "MASE") + ")."});
}

void RankingSection(const SectionInput& in, Section& section) {
  const RankingRecord& record = *in.results.ranking;
  const ranking::ModelTable& models = record.table;
  const TextLines lines(in.File(in.names.Ranking()));
  if (lines.size() == 0) return;
  section.blocks.push_back(Paragraph{Trim(lines[0])});
  const ranking::RankGridLine headers = ranking::RankGridHeaders(models);
  Table table{"The models ranked by " + headers[3] +
                  " (lower is better): the difference to the best model and its weight, the probability that it "
                  "is the best of those compared. Models within about 2 of the best are about as well supported.",
              {"Rank", headers[1], headers[2], headers[3], headers[4], headers[5], headers[6], headers[7]},
              {}};
  for (int j = 1; j <= models.Count() && j + 1 < static_cast<int>(lines.size()); ++j) {
    // The numbers from the file; the file names as the table holds them (they may contain blanks).
    Row row = LeadingWords(lines[static_cast<std::size_t>(j) + 1], 6);
    row.resize(6);
    row.push_back(models.Shown(j).AlgorithmFile);
    row.push_back(models.Shown(j).CovarianceFile);
    table.rows.push_back(std::move(row));
  }
  section.blocks.push_back(std::move(table));
  if (std::size_t averages = lines.Find("Parameter_#"); averages < lines.size()) {
    std::vector<Row> rows;
    for (const std::string& line : lines.BlockAfter(averages)) {
      Row row = Words(line);
      row.insert(row.begin() + 1, checks::DescriptionOf(in.results.descriptions, std::atoi(row.at(0).c_str())));
      rows.push_back(std::move(row));
    }
    section.blocks.push_back(Table{"The parameters averaged over the ranked models, each model weighted by its "
                                   "Akaike weight, with the averaged standard errors of each covariance grid (-1 "
                                   "where a model lacks one).",
                                   {"Par#", "Parameter", "Average", "SE grid #1", "SE grid #2", "SE grid #3"},
                                   std::move(rows)});
  } else if (!record.averagingFailure.empty()) {
    section.blocks.push_back(Paragraph{"The models could not be averaged: " + record.averagingFailure});
    in.warnings.push_back({section.id, "The models could not be averaged: " + record.averagingFailure});
  }
}

}  // namespace kalvex::report
