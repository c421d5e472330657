#include "model/PeriodBlocks.h"

#include <algorithm>

namespace kalvex::model {

VectorUnit FastestVectorUnit() {
  // libgcc counts AVX2 only when the operating system saves the wide registers.
  return __builtin_cpu_supports("avx2") ? VectorUnit::kAvx2 : VectorUnit::kSse2;
}

PeriodBlocks PackPeriodBlocks(const ModelData& d, VectorUnit unit) {
  PeriodBlocks b;
  b.unit = unit;
  b.periods = d.NumPeriods;
  b.species = d.NumSpecies;
  b.lanes = unit == VectorUnit::kAvx2 ? 4 : 2;
  // As few blocks as the registers allow, then equal blocks, so that the
  // last one is not a short block of mostly repeated periods.
  const int predicted = std::max(d.NumPeriods - 1, 0);
  const int widest = PeriodBlocks::kMaxVectorsPerBlock * b.lanes;
  b.blockCount = (predicted + widest - 1) / widest;
  const int perBlock = b.blockCount > 0 ? (predicted + b.blockCount - 1) / b.blockCount : 0;
  b.vectorsPerBlock = std::max(1, (perBlock + b.lanes - 1) / b.lanes);

  const int width = b.BlockPeriods();
  b.values.assign(static_cast<std::size_t>(b.blockCount) * b.Rows() * width, 0.0);
  for (int block = 0; block < b.blockCount; ++block) {
    double* rows = b.values.data() + static_cast<std::size_t>(block) * b.Rows() * width;
    for (int lane = 0; lane < width; ++lane) {
      const int i = std::min(2 + block * width + lane, d.NumPeriods);
      auto row = [&](int r) -> double& { return rows[static_cast<std::size_t>(r) * width + lane]; };
      row(kInterventionRow) = d.Intervention[i];
      row(kLaggedIndexRow) = d.LnIndex[i - 1] + d.IndexGap[i];
      row(kEffortFromStartRow) = d.LnEffortFromStart[i];
      row(kEffortStepRow) = d.LnEffortStep[i];
      for (int j = 1; j <= d.NumSpecies; ++j) {
        row(kFirstSpeciesRow + 2 * (j - 1)) = d.StdCatchFromStart(i, j);
        row(kFirstSpeciesRow + 2 * (j - 1) + 1) = d.StdCatchStep(i, j);
      }
      row(b.Rows() - 1) = d.IndexFromStart[i];
    }
  }
  return b;
}

}  // namespace kalvex::model
