#pragma once
// The Oskane data file: line 1 holds labels, every further line one time
// period in fixed columns (year 1-4, then seven-character fields with one
// blank between: effort, one catch per species, intervention, index).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/ModelData.h"

namespace kalvex::model {

// First and last column (1-based, inclusive) of each field of a data line.
struct FieldColumns {
  int first;
  int last;
};
FieldColumns YearColumns();
FieldColumns EffortColumns();
FieldColumns CatchColumns(int species);
FieldColumns InterventionColumns(int numSpecies);
FieldColumns IndexColumns(int numSpecies);

// The value of a field: blanks anywhere ignored, a blank field (or columns
// past the line's end) 0; nullopt when what is left is not a number ("NA",
// "NaN", "25x21"): a missing value the model cannot stand in for.
std::optional<double> FieldValue(std::string_view line, FieldColumns columns);

// The species count whose columns the data lines (line 1 skipped) fit: the
// one that puts the last digit of the widest line in its index field, at
// least 1.
int FittingSpeciesCount(const std::vector<std::string>& lines);

// What to ask before reading lines that hold numbers beyond the index
// column of numSpecies species; nullopt when they fit.
std::optional<std::string> WideLinesQuestion(const std::vector<std::string>& lines, int numSpecies,
                                             const std::string& fileName);

// The lines of the data file at path. Reading stops one line past the
// period limit; what is not a regular file, or holds a line of more than
// 4096 characters, is refused with an InitializationError.
std::vector<std::string> ReadDataLines(const std::string& path);

// Reads and derives the model data from the lines of a data file (line 1
// skipped). Throws InitializationError for more than kMaxTimePeriods
// periods, for a field that is not a number, and for data a derived series cannot be computed from (an index
// of 0 read from lines laid out for another species count names that
// count); fileName only names the file in those messages.
ModelData ParseModelData(const std::vector<std::string>& lines, int numSpecies,
                         const std::string& fileName);

// ReadDataLines, then ParseModelData.
ModelData ReadModelData(const std::string& path, int numSpecies);

// The first periods periods of data (2..NumPeriods) as ParseModelData
// gives them from a file of those lines only: the read series copied, the
// derived ones (catch means and SDs included) computed anew. Throws
// InitializationError when a species' catches do not vary within them.
ModelData FirstPeriods(const ModelData& data, int periods);

// The series derived from Year..HarvestIndex (NumPeriods >= 2, checked data).
void DeriveSeries(ModelData& data);

}  // namespace kalvex::model
