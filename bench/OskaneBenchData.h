#pragma once
// Oskane data files of any size for the benchmarks, written to the
// temporary folder with values from a fixed LCG.
#include <filesystem>
#include <string>

#include "model/OskaneModel.h"
#include "workspace/Format.h"
#include "workspace/TextFile.h"
#include "workspace/Workspace.h"

namespace kalvex::bench {

// A data file of the given size in fixed columns; returns its path.
inline std::string WriteOskaneData(int species, int periods) {
  unsigned state = 12345u + static_cast<unsigned>(species * 1000 + periods);
  auto next = [&state](int range) {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 8) % static_cast<unsigned>(range));
  };
  TextBuilder text;
  text.Line("Year  Effort  Catches  V  Index");
  // Integers in fields of 8 columns (the year in 4), the index with 4 decimals.
  auto field = [](double value, const char* pattern, int width) {
    return RightJustify(FormatNumber(value, pattern), width);
  };
  for (int i = 0; i < periods; ++i) {
    std::string line = field(1900 + i, "0", 4) + field(800 + next(3000), "0", 8);
    for (int j = 0; j < species; ++j) line += field(50 + next(5000), "0", 8);
    line += field(i >= periods / 2 ? 1 : 0, "0", 8);
    text.Line(line + field((500 + next(9000)) / 10000.0, "0.0000", 8));
  }
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("kalvex_bench_" + std::to_string(species) + "x" + std::to_string(periods) + ".dat"))
                               .string();
  SaveTextFile(path, text.Text());
  return path;
}

// The model initialized on such a file with every estimated parameter free
// (step 0.01) at moderate coefficients; the forecast inputs stay fixed.
inline void SetUpEveryParameterFree(Workspace& ws, int species, int periods) {
  const std::string path = WriteOskaneData(species, periods);
  InitializeModel(ws, ModelInitOptions{species, path});
  std::filesystem::remove(path);
  SetDefaultAlgorithmData(ws);
  ws.AlgorithmFileName = ws.AlgorithmShortName = "bench.alg";
  const auto& model = static_cast<const OskaneModel&>(*ws.model);
  for (int i = 1; i <= model.NumEstimated(); ++i) {
    ws.Alg.Values[i] = i % 2 ? 0.11 : -0.05;
    ws.Alg.Steps[i] = 0.01;
  }
  ws.Alg.Values[model.Layout().Omega()] = 0.45;
}

}  // namespace kalvex::bench
