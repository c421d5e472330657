#include "model/OskaneTestData.h"

#include <cstdio>
#include <fstream>

#include "support/TestModels.h"

namespace kalvex::testing {

namespace {
std::string Field(double value, int width, const char* format) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, width, value);
  return buffer;
}
}  // namespace

std::string OskaneDataLine(const RawOskaneData& d, int i) {
  std::string line = Field(d.year[i], 4, "%*.0f");
  line += " " + Field(d.effort[i], 7, "%*.0f");
  for (int j = 0; j < d.species; ++j) line += " " + Field(d.catches[i][j], 7, "%*.0f");
  line += " " + Field(d.intervention[i], 7, "%*.0f");
  line += " " + Field(d.index[i], 7, "%*.4f");
  return line;
}

std::string WriteOskaneDataFile(const RawOskaneData& d, const std::string& name, const std::string& lineEnd) {
  const std::string path = TempDir() + "/" + name;
  std::ofstream out(path, std::ios::binary);
  out << "Year  Effort  Catches...  V  Index" << lineEnd;
  for (int i = 0; i < d.Periods(); ++i) out << OskaneDataLine(d, i) << lineEnd;
  return path;
}

RawOskaneData MakeOskaneData(int species, int periods, unsigned seed) {
  RawOskaneData d;
  d.species = species;
  unsigned state = seed;
  auto next = [&state](int range) {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 8) % static_cast<unsigned>(range));
  };
  for (int i = 0; i < periods; ++i) {
    d.year.push_back(1900 + i);
    d.effort.push_back(800 + next(3000));
    d.intervention.push_back(i >= periods / 2 ? 1 : 0);
    d.index.push_back((500 + next(9000)) / 10000.0);  // four decimals, as written
    std::vector<double> row;
    for (int j = 0; j < species; ++j) row.push_back(50 + next(5000));
    d.catches.push_back(row);
  }
  return d;
}

}  // namespace kalvex::testing
