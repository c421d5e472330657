#include "model/DataFile.h"

#include <algorithm>
#include <cmath>

#include "workspace/Format.h"
#include "workspace/Model.h"
#include "workspace/TextFile.h"

namespace kalvex::model {

namespace {

const char* const kDataErrorTitle = "Problem with the data file";
constexpr int kDataErrorStyle = 48;

[[noreturn]] void DataError(const std::string& text) {
  throw InitializationError(kDataErrorTitle, text, kDataErrorStyle);
}

std::string PeriodText(int i) {
  // Period i is line i + 1 of the file (line 1 holds the labels).
  return "time period " + std::to_string(i) + " (line " + std::to_string(i + 1) + ")";
}

void CheckFieldFinite(double value, const char* field, int i, const std::string& fileName) {
  if (!std::isfinite(value))
    DataError("The " + std::string(field) + " of " + PeriodText(i) + " of the data file " + fileName +
              " is not a finite number.");
}

void CheckPositive(double value, const char* field, int i, const std::string& fileName,
                   const std::string& hint = {}) {
  if (!(value > 0))
    DataError("The " + std::string(field) + " of " + PeriodText(i) + " of the data file " + fileName +
              " is " + GeneralNumber(value) + "; it must be greater than 0 because the model uses its logarithm." +
              hint);
}

std::string SpeciesText(int count) { return std::to_string(count) + " species"; }

// The column (1-based) of the last digit of a line; 0 when it has none.
int LastDigitColumn(std::string_view line) {
  for (std::size_t k = line.size(); k > 0; --k)
    if (line[k - 1] >= '0' && line[k - 1] <= '9') return static_cast<int>(k);
  return 0;
}

// The text of a field whose blanks leave something that is not a number:
// missing values written as NA or NaN, or columns that do not line up.
[[noreturn]] void NotANumber(std::string_view line, FieldColumns columns, const std::string& field, int i,
                             const std::string& fileName) {
  const std::size_t first = static_cast<std::size_t>(columns.first - 1);
  std::string_view text = line.substr(first, static_cast<std::size_t>(columns.last - columns.first + 1));
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  text.remove_suffix(text.size() - (text.find_last_not_of(' ') + 1));
  DataError("The " + field + " of " + PeriodText(i) + " of the data file " + fileName + ", columns " +
            std::to_string(columns.first) + "-" + std::to_string(columns.last) + ", holds \"" + std::string(text) +
            "\", which is not a number. Missing values are not supported: every field must hold a number.");
}

double ReadField(std::string_view line, FieldColumns columns, const std::string& field, int i,
                 const std::string& fileName) {
  std::optional<double> value = FieldValue(line, columns);
  if (!value) NotANumber(line, columns, field, i, fileName);
  return *value;
}

// indexHint follows a non-positive index: lines laid out for another
// species count put the index field past their end.
void ReadPeriod(ModelData& data, int i, std::string_view line, const std::string& fileName,
                const std::string& indexHint) {
  const int species = data.NumSpecies;
  data.Year[i] = ReadField(line, YearColumns(), "year", i, fileName);
  data.TimeCount[i] = static_cast<int16_t>(i);
  data.Effort[i] = ReadField(line, EffortColumns(), "effort", i, fileName);
  for (int j = 1; j <= species; ++j)
    data.Catch(i, j) = ReadField(line, CatchColumns(j), "catch of species " + std::to_string(j), i, fileName);
  data.Intervention[i] = ReadField(line, InterventionColumns(species), "intervention", i, fileName);
  data.HarvestIndex[i] = ReadField(line, IndexColumns(species), "harvest rate index", i, fileName);

  CheckFieldFinite(data.Year[i], "year", i, fileName);
  CheckFieldFinite(data.Effort[i], "effort", i, fileName);
  for (int j = 1; j <= species; ++j)
    CheckFieldFinite(data.Catch(i, j), ("catch of species " + std::to_string(j)).c_str(), i, fileName);
  CheckFieldFinite(data.Intervention[i], "intervention", i, fileName);
  CheckFieldFinite(data.HarvestIndex[i], "harvest rate index", i, fileName);
  CheckPositive(data.Effort[i], "effort", i, fileName);
  CheckPositive(data.HarvestIndex[i], "harvest rate index", i, fileName, indexHint);
}

// A standard deviation needs catches that vary; equal catches would divide by 0.
void CheckCatchesVary(const ModelData& data, const std::string& fileName) {
  for (int j = 1; j <= data.NumSpecies; ++j) {
    bool vary = false;
    for (int i = 2; i <= data.NumPeriods && !vary; ++i) vary = data.Catch(i, j) != data.Catch(1, j);
    if (!vary)
      DataError("The catches of species " + std::to_string(j) + " in the data file " + fileName +
                " are all equal (" + GeneralNumber(data.Catch(1, j)) +
                "); their standard deviation would be 0.");
  }
}

}  // namespace

FieldColumns YearColumns() { return {1, 4}; }
FieldColumns EffortColumns() { return {6, 12}; }
FieldColumns CatchColumns(int species) { return {14 + 8 * (species - 1), 20 + 8 * (species - 1)}; }
FieldColumns InterventionColumns(int numSpecies) { return {14 + 8 * numSpecies, 20 + 8 * numSpecies}; }
FieldColumns IndexColumns(int numSpecies) { return {22 + 8 * numSpecies, 28 + 8 * numSpecies}; }

int FittingSpeciesCount(const std::vector<std::string>& lines) {
  int fit = 1;
  for (std::size_t k = 1; k < lines.size(); ++k) {
    // The index field of S species ends in column 28 + 8 S.
    int last = LastDigitColumn(lines[k]);
    fit = std::max(fit, (last - 28 + 7) / 8);
  }
  return fit;
}

std::optional<std::string> WideLinesQuestion(const std::vector<std::string>& lines, int numSpecies,
                                             const std::string& fileName) {
  int fit = FittingSpeciesCount(lines);
  if (fit <= numSpecies) return std::nullopt;
  return "The lines of the data file " + fileName + " hold numbers beyond the columns of " +
         SpeciesText(numSpecies) + "; they fit the columns of " + SpeciesText(fit) + ".\r\n\r\n" +
         "Do you want to go on with " + SpeciesText(numSpecies) + "?";
}

std::optional<double> FieldValue(std::string_view line, FieldColumns columns) {
  const std::size_t first = static_cast<std::size_t>(columns.first - 1);
  if (first >= line.size()) return 0.0;
  std::string_view field = line.substr(first, static_cast<std::size_t>(columns.last - columns.first + 1));
  // Blanks anywhere are ignored ("1 234" is 1234); a blank field reads as 0.
  std::string compact;
  for (char c : field)
    if (c != ' ' && c != '\t') compact.push_back(c);
  if (compact.empty()) return 0.0;
  if (std::optional<double> value = ParseNumber(compact)) return value;
  // A number beyond the range of a double is named as such by the reader.
  const double lenient = Val(compact);
  if (!std::isfinite(lenient)) return lenient;
  return std::nullopt;
}

ModelData ParseModelData(const std::vector<std::string>& lines, int numSpecies,
                         const std::string& fileName) {
  const int periods = lines.empty() ? 0 : static_cast<int>(lines.size()) - 1;
  if (periods > kMaxTimePeriods)
    throw InitializationError("Fatal error: Input overun",
                              "The program attempted to read beyond the limit of " +
                                  std::to_string(kMaxTimePeriods) + " time periods",
                              64);
  if (periods < 2)
    DataError("The data file " + fileName + " holds " + std::to_string(periods) +
              " time period(s) after its label line; the model needs at least 2.");

  const int fit = FittingSpeciesCount(lines);
  const std::string indexHint =
      fit == numSpecies ? std::string()
                        : " The lines of the data file fit the columns of " + SpeciesText(fit) + ", not " +
                              SpeciesText(numSpecies) + ".";
  ModelData data = ModelData::Sized(numSpecies);
  data.DataFileName = fileName;
  data.NumPeriods = periods;
  for (int i = 1; i <= periods; ++i)
    ReadPeriod(data, i, lines[static_cast<std::size_t>(i)], fileName, indexHint);
  CheckCatchesVary(data, fileName);
  DeriveSeries(data);
  return data;
}

std::vector<std::string> ReadDataLines(const std::string& path) {
  // The label line, the periods, and one line more to tell an overrun; a
  // line may run far past the widest record (228 columns) with notes.
  const TextLimits limits{static_cast<std::size_t>(kMaxTimePeriods) + 2, 4096};
  ReadResult file = ReadTextLines(path, limits);
  if (!file.ok)
    DataError("The data file " + path + (file.opened ? " could not be read: " : " could not be opened: ") +
              file.error + ".");
  return std::move(file.lines);
}

ModelData ReadModelData(const std::string& path, int numSpecies) {
  return ParseModelData(ReadDataLines(path), numSpecies, path);
}

ModelData FirstPeriods(const ModelData& data, int periods) {
  ModelData cut = ModelData::Sized(data.NumSpecies);
  cut.DataFileName = data.DataFileName;
  cut.NumPeriods = periods;
  for (int i = 1; i <= periods; ++i) {
    cut.Year[i] = data.Year[i];
    cut.TimeCount[i] = data.TimeCount[i];
    cut.Effort[i] = data.Effort[i];
    for (int j = 1; j <= data.NumSpecies; ++j) cut.Catch(i, j) = data.Catch(i, j);
    cut.Intervention[i] = data.Intervention[i];
    cut.HarvestIndex[i] = data.HarvestIndex[i];
  }
  CheckCatchesVary(cut, cut.DataFileName + " (its first " + std::to_string(periods) + " periods)");
  DeriveSeries(cut);
  return cut;
}

void DeriveSeries(ModelData& d) {
  const int n = d.NumPeriods;
  const double dn = n;
  for (int j = 1; j <= d.NumSpecies; ++j) {
    double sum = 0;
    double sumSquares = 0;
    for (int i = 1; i <= n; ++i) {
      sum = sum + d.Catch(i, j);
      sumSquares = sumSquares + d.Catch(i, j) * d.Catch(i, j);
    }
    // Catches near the largest double overflow here; say so rather than
    // let the infinity read as a spread too small.
    if (!std::isfinite(sumSquares))
      DataError("The catches of species " + std::to_string(j) + " in the data file " + d.DataFileName +
                " are too large: the sum of their squares overflows.");
    d.CatchMean[j] = sum / dn;
    const double variance = sumSquares / dn - d.CatchMean[j] * d.CatchMean[j];
    // Unequal catches whose spread is lost to rounding leave no usable SD.
    if (!(variance > 0))
      DataError("The catches of species " + std::to_string(j) + " in the data file " + d.DataFileName +
                " vary too little to give a standard deviation.");
    d.CatchSD[j] = std::sqrt(dn / (dn - 1)) * std::sqrt(variance);
    for (int i = 1; i <= n; ++i) d.StdCatch(i, j) = (d.Catch(i, j) - d.CatchMean[j]) / d.CatchSD[j];
  }

  for (int i = 1; i <= n; ++i) {
    d.LnEffort[i] = std::log(d.Effort[i]);
    d.LnIndex[i] = std::log(d.HarvestIndex[i]);
    d.LnEffortFromStart[i] = d.LnEffort[i] - d.LnEffort[1];
    for (int j = 1; j <= d.NumSpecies; ++j) d.StdCatchFromStart(i, j) = d.StdCatch(i, j) - d.StdCatch(1, j);
    d.IndexFromStart[i] = d.LnIndex[i] - d.LnEffortFromStart[i];
    if (i == 1) {
      d.LnEffortStep[i] = 0;
      for (int j = 1; j <= d.NumSpecies; ++j) d.StdCatchStep(i, j) = kUndefined;
      d.IndexStep[i] = kUndefined;
      d.IndexGap[i] = kUndefined;
    } else {
      d.LnEffortStep[i] = d.LnEffort[i] - d.LnEffort[i - 1];
      for (int j = 1; j <= d.NumSpecies; ++j) d.StdCatchStep(i, j) = d.StdCatch(i, j) - d.StdCatch(i - 1, j);
      d.IndexStep[i] = d.LnIndex[i] - d.LnEffortStep[i];
      d.IndexGap[i] = d.IndexFromStart[i] - d.IndexStep[i];
    }
  }
}

}  // namespace kalvex::model
