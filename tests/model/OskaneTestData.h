#pragma once
// Raw Oskane data held by a test, written out in the data file's fixed
// columns so the model reads what the test's own reference computation uses.
#include <string>
#include <vector>

namespace kalvex::testing {

struct RawOskaneData {
  int species = 1;
  std::vector<double> year, effort, intervention, index;  // 0-based periods
  std::vector<std::vector<double>> catches;               // [period][species]
  int Periods() const { return static_cast<int>(effort.size()); }
};

// One data line: year in columns 1-4, then 7-character fields after a blank.
std::string OskaneDataLine(const RawOskaneData& data, int period);
// Writes a label line and every period with the given line end; returns the path.
std::string WriteOskaneDataFile(const RawOskaneData& data, const std::string& name,
                                const std::string& lineEnd = "\r\n");
// A pseudo-random but fixed data set; values chosen to fit the 7-column fields.
RawOskaneData MakeOskaneData(int species, int periods, unsigned seed);

}  // namespace kalvex::testing
