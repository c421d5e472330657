#include "model/ModelData.h"

#include <cmath>

namespace kalvex::model {

ModelData ModelData::Sized(int numSpecies) {
  ModelData data;
  data.NumSpecies = static_cast<int16_t>(numSpecies);
  data.Pi = 4 * std::atan(1.0);
  const std::size_t periods = kMaxTimePeriods + 1;
  const std::size_t species = static_cast<std::size_t>(numSpecies) + 1;
  for (std::vector<double>* series :
       {&data.Year, &data.Effort, &data.Intervention, &data.HarvestIndex, &data.LnEffort,
        &data.LnIndex, &data.LnEffortFromStart, &data.IndexFromStart, &data.LnEffortStep,
        &data.IndexStep, &data.IndexGap})
    series->assign(periods, 0.0);
  data.TimeCount.assign(periods, 0);
  data.CatchMean.assign(species, 0.0);
  data.CatchSD.assign(species, 0.0);
  for (SpeciesSeries* table : {&data.Catch, &data.StdCatch, &data.StdCatchFromStart, &data.StdCatchStep})
    *table = SpeciesSeries(numSpecies, kMaxTimePeriods);
  return data;
}

}  // namespace kalvex::model
