// The sections of the fit and what is computed at its values: the fits,
// the results summary, the covariances and the likelihood profiles.
#include <initializer_list>
#include <map>

#include "checks/ReportText.h"
#include "plots/DistributionPlot.h"
#include "plots/XYPlotFigure.h"
#include "report/ReportDocument.h"

namespace kalvex::report {
namespace {

// "Parameter # 01 estimate:   -0.4000000  Intercept ..." as {"01", "-0.4000000", "Intercept ..."}.
std::vector<Row> ParameterRows(const std::vector<std::string>& lines) {
  std::vector<Row> rows;
  for (const std::string& line : lines) {
    Row labelled = Labelled(line);
    if (labelled.size() != 2 || !labelled[0].starts_with("Parameter #")) continue;
    Row row = LeadingWords(labelled[1], 1);
    row.insert(row.begin(), Words(labelled[0]).at(2));
    row.resize(3);
    rows.push_back(std::move(row));
  }
  return rows;
}

// The description of parameter number text ("3", "003").
std::string DescriptionAt(const SessionResults& results, const std::string& number) {
  return checks::DescriptionOf(results.descriptions, std::atoi(number.c_str()));
}

// Rows whose first cell is a parameter number, with its description put second.
std::vector<Row> Described(const SessionResults& results, std::vector<Row> rows) {
  for (Row& row : rows)
    if (!row.empty()) row.insert(row.begin() + 1, DescriptionAt(results, row[0]));
  return rows;
}

std::vector<Row> WordRows(const std::vector<std::string>& lines) {
  std::vector<Row> rows;
  for (const std::string& line : lines) rows.push_back(Words(line));
  return rows;
}

// A comma table under the line that starts with heading (its header and
// rows set off by blank lines), or nothing when the text has no such line.
void AddCommaTable(Section& section, const TextLines& lines, std::string_view heading, std::string caption) {
  const std::size_t at = lines.Find(heading);
  if (at == lines.size()) return;
  auto [head, rows] = lines.HeadAndRows(at);
  CutTable cut = CommaTable(head, rows);
  section.blocks.push_back(Table{std::move(caption), std::move(cut.head), std::move(cut.rows)});
}

// A row per labelled line ("Mean:  1  2  3"): the label, then the words after
// it; a label the text lacks gives no row.
void AddLabelledRows(Table& table, const TextLines& lines, std::initializer_list<std::string_view> labels) {
  for (std::string_view label : labels)
    if (std::size_t at = lines.Find(label); at < lines.size()) {
      Row labelled = Labelled(lines[at]);
      Row row = Words(labelled.at(1));
      row.insert(row.begin(), labelled.at(0));
      table.rows.push_back(std::move(row));
    }
}

}  // namespace

void FitSection(const SectionInput& in, Section& section) {
  const TextLines lines(in.File(in.names.Fits()));
  const std::size_t head = lines.Find("Model,");
  if (head == lines.size()) return;
  CutTable cut = CommaTable({lines[head]}, lines.BlockAfter(head));
  std::map<std::string, std::string> labelled;
  for (const Row& row : LabelledRows(lines.Between(head + 1, lines.size()))) labelled[row[0]] = row[1];
  cut.head.insert(cut.head.begin() + 1, "Started from");
  cut.head.push_back("Fitted values in");
  for (Row& row : cut.rows) {
    const std::string model = "Model " + row[0];
    row.insert(row.begin() + 1, labelled[model + " started from"]);
    row.push_back(labelled[model + " fitted values in"]);
    const std::string& ended = row[4];
    if (ended != "converged")
      in.warnings.push_back({section.id, model + "'s fit ended \"" + ended + "\", not converged: its values may not "
                                         "be at the minimum."});
    if (auto message = labelled.find(model + " message"); message != labelled.end())
      section.blocks.push_back(Paragraph{model + ": " + message->second});
  }
  section.blocks.insert(section.blocks.begin(),
                        Table{"How each model's fit ended. The objective is the minimum reached (for the Oskane model "
                              "-2 ln[L]); \"converged\" means the minimizer verified the minimum by an axial search, "
                              "any other ending that the values may not be at a minimum. Model 1 is the model the "
                              "report is about; the fitted values are in the algorithm file of the last column.",
                              std::move(cut.head), std::move(cut.rows)});
}

void SummarySection(const SectionInput& in, Section& section) {
  const TextLines lines(in.File(in.names.Summary()));
  const std::size_t statistics = lines.Find("The likelihood function minimum");
  const std::size_t note = lines.Find("Note: Not necessarily", statistics);
  section.blocks.push_back(LabelledTable(
      "The fit's statistics: the minimum of the objective (-2 ln[L]), the number of free parameters k and the "
      "small-sample Akaike criterion AICc (lower is better when models fitted to the same data are compared), then "
      "the error variances the fit implies.",
      lines.Between(statistics, note)));
  const std::size_t estimated = lines.Find("The following parameter values are estimated", note);
  const std::size_t forecasting = lines.Find("The following parameter values are used only", estimated);
  const std::size_t derived = lines.Find("The estimated true value", forecasting);
  section.blocks.push_back(Table{"The parameters as estimated (a parameter with step 0 was held at its value). "
                                 "Their standard errors are in the covariance section.",
                                 {"Par#", "Estimate", "Parameter"},
                                 ParameterRows(lines.Between(estimated, forecasting))});
  section.blocks.push_back(Table{"The inputs of the forecast period, taken from the algorithm data (step 0).",
                                 {"Par#", "Value", "Parameter"},
                                 ParameterRows(lines.Between(forecasting, derived))});
  const std::size_t measured = lines.Find("Measured Data:", derived);
  section.blocks.push_back(LabelledTable("Quantities derived from the estimates.", lines.Between(derived, measured)));
  const std::size_t forecast = lines.Find("The forecast for time period f was made");
  const std::size_t probability = lines.Find("Probability and confidence interval", forecast);
  if (forecast < lines.size())
    section.blocks.push_back(LabelledTable(
        "The forecast of the harvest-rate index for the next period f, from that period's effort, catches and "
        "intervention: its most likely and expected values with their standard deviations.",
        lines.Between(forecast, probability)));
  if (in.results.summaryPlots)
    section.blocks.push_back(FigureBlock{
        plots::SummaryPlotFigure(*in.results.summaryPlots),
        "Left: the log index measured and predicted over the years, with the residuals. Right: the same "
        "untransformed. Residuals that wander away from zero in runs, or grow with the index, show where the model "
        "misses the data."});
  AddCommaTable(section, lines, "Measured Data:", "The data the model was fitted to.");
  AddCommaTable(section, lines, "Measured, calculated and predicted values",
                "The data with the fit's predictions and residuals, on the log scale and untransformed; -999 marks "
                "a value that is not defined (the first period has no prediction).");
  if (forecast < lines.size())
    AddCommaTable(section, lines, "Probability and confidence interval",
                  "The forecast's distribution: the probability mass of each index bin, the cumulative probability "
                  "and, in the last column, the confidence level whose interval has the bin as a bound (read the "
                  "95 % interval where it reaches 95).");
}

void CovarianceSection(const SectionInput& in, Section& section) {
  const CovarianceResults& results = in.results.covariance->results;
  const TextLines lines(in.File(in.names.ModelCovariance(1)));
  const std::size_t parameters = lines.Find("Parameter values, step sizes");
  if (parameters == lines.size()) return;
  section.blocks.push_back(Paragraph{lines[parameters]});
  std::vector<Row> parameterRows;
  for (const std::string& line : lines.BlockAfter(parameters)) {
    Row row = LeadingWords(line, 4);
    if (!row.empty() && row[0].ends_with(")")) row[0].pop_back();
    parameterRows.push_back(std::move(row));
  }
  section.blocks.push_back(Table{"The parameter set at the centre of the grids: a step of 0 holds a parameter "
                                 "fixed, a link code other than ~~ ties it to the others with that code.",
                                 {"Par#", "Value", "Step", "Link", "Parameter"},
                                 std::move(parameterRows)});
  for (std::string_view text : {"Reliable numerical covariance results", "Analytical covariance results",
                                "Covariance constant:"})
    if (std::size_t at = lines.Find(text); at < lines.size()) section.blocks.push_back(Paragraph{Trim(lines[at])});

  Table grids{"The grids' step factors and the -ln[L] over each grid's points. A grid's Hessian comes from central "
              "differences with the steps times its factor: similar results from quite different factors are "
              "reliable; -1 marks a figure a grid could not give.",
              {"", "Grid #1", "Grid #2", "Grid #3"},
              {}};
  if (std::size_t at = lines.Find("Factors:"); at < lines.size()) {
    Row row = {"Factors"};
    for (const std::string& word : Words(Labelled(lines[at]).at(1)))
      if (!word.ends_with(")")) row.push_back(word);
    grids.rows.push_back(std::move(row));
  }
  AddLabelledRows(grids, lines, {"Mean:", "Std Dev:", "Coef of Var:"});
  section.blocks.push_back(std::move(grids));

  auto block = [&](std::string_view heading) {
    const std::size_t at = lines.Find(heading);
    return at < lines.size() ? lines.BlockAfter(at) : std::vector<std::string>{};
  };
  section.blocks.push_back(Table{"The standard error of each free parameter from each grid: the square root of "
                                 "the diagonal of the inverted Hessian.",
                                 {"Par#", "Parameter", "Grid #1", "Grid #2", "Grid #3"},
                                 Described(in.results, WordRows(block("Par#                               Standard")))});
  section.blocks.push_back(Table{"Two-sided probabilities (t with 999 degrees of freedom) that each estimate does "
                                 "not differ from 0 and from 1, per grid: small values mean it does.",
                                 {"Par#", "Parameter", "Grid #1: 0", "Grid #1: 1", "Grid #2: 0", "Grid #2: 1",
                                  "Grid #3: 0", "Grid #3: 1"},
                                 Described(in.results, WordRows(block("Par#               Probabilities")))});
  if (std::size_t at = lines.Find("Note: The above SE"); at < lines.size())
    section.blocks.push_back(Paragraph{lines[at]});
  std::vector<Row> correlations = WordRows(block("Par#,Par#                                   Correlations"));
  if (!correlations.empty())
    section.blocks.push_back(Table{"The correlation of each pair of free parameters, per grid. Correlations near "
                                   "+1 or -1 mean the data cannot tell the two apart: their estimates trade off.",
                                   {"Par#", "Par#", "Grid #1", "Grid #2", "Grid #3"},
                                   std::move(correlations)});
  std::vector<Row> covariances = WordRows(block("Par#,Par#                                   Covariances"));
  if (!covariances.empty())
    section.blocks.push_back(Table{"The covariance of each pair of free parameters (a variance on the diagonal), per "
                                   "grid.",
                                   {"Par#", "Par#", "Grid #1", "Grid #2", "Grid #3"},
                                   std::move(covariances)});
  Table determinants{"The determinants of the covariance and correlation matrices: a correlation determinant near "
                     "0 means some parameters are nearly redundant.",
                     {"", "Grid #1", "Grid #2", "Grid #3"},
                     {}};
  AddLabelledRows(determinants, lines, {"Covariance Matrix:", "Correlation Matrix:"});
  section.blocks.push_back(std::move(determinants));

  const bool analytical = results.Method == CovarianceMethod::Analytical;
  for (int g = 1; g <= (analytical ? 1 : kGridCount); ++g) {
    const GridOutcome& outcome = results.Outcome[g];
    const std::string grid = analytical ? "The analytical Hessian" : "Covariance grid " + std::to_string(g);
    if (outcome.abandoned) in.warnings.push_back({section.id, grid + " was abandoned: its figures are -1."});
    if (outcome.notPositiveDefiniteAt)
      in.warnings.push_back({section.id, grid + " is not positive definite (the test failed at parameter # " +
                                             std::to_string(outcome.notPositiveDefiniteAt) +
                                             "): it gives no standard errors, its figures are -1."});
  }
}

void ProfilesSection(const SectionInput& in, Section& section) {
  const SessionResults& results = in.results;
  if (!results.profileSteps.empty()) section.blocks.push_back(Paragraph{results.profileSteps});
  Table table{"Each free parameter's likelihood profile (the other free parameters re-minimized at every point) "
              "read as a confidence distribution: its mode (the maximum-likelihood estimate), its expected value, "
              "their difference (also in percent of the expected value) and its standard deviation. A difference "
              "that is large against the SE means a skewed distribution, for which the estimate plus or minus two "
              "SEs misleads; the points of each profile are in its file.",
              {"Par#", "Parameter", "Max Likelihood", "Expected Value", "Estimated Diff", "Percent Diff",
               "Estimated SE", "File"},
              {}};
  std::vector<FigureBlock> figures;
  for (const ProfileRecord& profile : results.profiles) {
    const std::string path = in.names.Profile(profile.parameter);
    const TextLines lines(in.File(path));
    Row row = {std::to_string(profile.parameter), checks::DescriptionOf(results.descriptions, profile.parameter)};
    for (std::string_view label : {"Max Likelihood:", "Expected Value:", "Estimated Diff:", "Percent Diff:",
                                   "Estimated SE:"}) {
      const std::size_t at = lines.Find(label);
      row.push_back(at < lines.size() ? Labelled(lines[at]).at(1) : "");
    }
    row.push_back(path);
    table.rows.push_back(std::move(row));

    const int count = profile.table.PointCount;
    if (profile.summary.ModeIndex != (count + 1) / 2)
      in.warnings.push_back({section.id, "The likelihood profile of parameter # " + std::to_string(profile.parameter) +
                                             " is lowest at point " + std::to_string(profile.summary.ModeIndex) +
                                             " of " + std::to_string(count) +
                                             ", not at the fitted value: the fit may not be at the minimum."});
    plots::DistributionPlot plot({profile.table, profile.summary, profile.parameter, plots::kConfidenceTitle});
    plot.Plot(2);
    figures.push_back(
        {plot.FilePicture(),
         "Parameter # " + std::to_string(profile.parameter) + " (" +
             checks::DescriptionOf(results.descriptions, profile.parameter) + "): its confidence distribution from " +
             std::to_string(count) +
             " profile points, the relative likelihood normalized to unit area, with the mode, the expected value "
             "and the central 95 % interval marked. A narrow symmetric curve means a well determined parameter; a "
             "skewed or flat one, that its standard error understates the uncertainty; a curve cut off at an end, "
             "that the points did not span the distribution."});
  }
  section.blocks.push_back(std::move(table));
  for (FigureBlock& figure : figures) section.blocks.push_back(std::move(figure));
}

}  // namespace kalvex::report
