// The data file for 1 to 25 species (the first byte picks the count): read,
// checked and derived as the initialization does, then one evaluation at the
// default values, which either gives a finite objective or a numeric fault.
//
// Fuzz seeds: examples/*.dat tests/data/*.dat
// Fuzz seed prefix: species
#include "model/OskaneModel.h"
#include "support/FuzzSupport.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"

using namespace kalvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int species = fuzz::SpeciesFromByte(data[0]);
  fuzz::MemoryFile file(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  Workspace ws(MakeOskaneModel());
  try {
    InitializeModel(ws, {species, file.Path()});
  } catch (const InitializationError&) {
    return 0;
  } catch (const NumericFault&) {
    return 0;
  }
  SetDefaultAlgorithmData(ws);
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  try {
    fuzz::RequireFinite(EvaluateObjectiveWithCode(ws, ws.Alg.Values, 1), "the objective");
  } catch (const NumericFault&) {
  }
  return 0;
}
