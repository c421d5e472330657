#pragma once
// The Oskane model's data: the series read from the data file and the series
// derived from them once at initialization, so that an evaluation only reads.
#include <cstdint>
#include <string>
#include <vector>

namespace kalvex::model {

inline constexpr int kMaxTimePeriods = 100;
inline constexpr int kMaxSpecies = 25;
inline constexpr double kUndefined = -999;  // a value undefined in period 1

// A per-period, per-species series, used as table(i, j) with i = 1..periods
// and j = 1..species. Stored species by species so that one species' periods
// are contiguous: the prediction loop walks them in that order.
class SpeciesSeries {
 public:
  SpeciesSeries() = default;
  SpeciesSeries(int species, int periods)
      : stride_(periods + 1), values_(static_cast<std::size_t>(species + 1) * (periods + 1), 0.0) {}

  double operator()(int i, int j) const { return values_[Offset(i, j)]; }
  double& operator()(int i, int j) { return values_[Offset(i, j)]; }
  // Periods 0..periods of species j.
  const double* Species(int j) const { return values_.data() + static_cast<std::size_t>(j) * stride_; }

 private:
  std::size_t Offset(int i, int j) const { return static_cast<std::size_t>(j) * stride_ + i; }
  std::size_t stride_ = 0;
  std::vector<double> values_;
};

struct ModelData {
  int16_t NumSpecies = 0;
  int NumPeriods = 0;  // n, the data lines read
  std::string DataFileName;
  double Pi = 0;  // 4 x arctan(1)

  // Per-period series, 1..NumPeriods used; sized for kMaxTimePeriods.
  std::vector<double> Year;
  std::vector<int16_t> TimeCount;
  std::vector<double> Effort;
  SpeciesSeries Catch;
  std::vector<double> Intervention;
  std::vector<double> HarvestIndex;

  // Per-species, 1..NumSpecies.
  std::vector<double> CatchMean;
  std::vector<double> CatchSD;

  SpeciesSeries StdCatch;
  std::vector<double> LnEffort;
  std::vector<double> LnIndex;
  std::vector<double> LnEffortFromStart;
  SpeciesSeries StdCatchFromStart;
  std::vector<double> IndexFromStart;
  std::vector<double> LnEffortStep;   // 0 in period 1
  SpeciesSeries StdCatchStep;         // -999 in period 1
  std::vector<double> IndexStep;      // -999 in period 1
  std::vector<double> IndexGap;       // -999 in period 1

  // Empty series for numSpecies species and kMaxTimePeriods periods.
  static ModelData Sized(int numSpecies);
};

}  // namespace kalvex::model
