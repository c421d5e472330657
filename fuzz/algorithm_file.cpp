// The algorithm file, read into a workspace whose model has the parameter
// count of its first line (1 to 25 species; any other count is a mismatch
// for one species). A file that reads is written back: reading that text
// again gives the same text, and one evaluation at the read values gives a
// finite objective or a numeric fault.
//
// Fuzz seeds: examples/*.alg tests/data/*.alg
#include <cstdlib>

#include "algorithm/AlgorithmCommands.h"
#include "algorithm/AlgorithmFile.h"
#include "support/FuzzSupport.h"
#include "support/QuietFrontend.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/TextFile.h"

using namespace kalvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<Workspace> workspace =
      fuzz::InitializedWorkspace(fuzz::SpeciesOfCount(bytes.substr(0, bytes.find_first_of("\r\n"))));
  Workspace& ws = *workspace;
  fuzz::MemoryFile file(bytes);
  fuzz::QuietFrontend ui;
  AlgorithmReadResult read = LoadAlgorithmFile(ws, ui, file.Path());
  if (read.status == AlgorithmReadStatus::Read) {
    const std::string text = AlgorithmFileText(ws.Alg, AlgorithmFileVariant::MainMenu);
    AlgorithmData again = ws.Alg;
    if (!ParseAlgorithmLines(SplitLines(text), again).ok()) std::abort();
    fuzz::RequireSameText(text, AlgorithmFileText(again, AlgorithmFileVariant::MainMenu));
    NormalizeLinks(ws);
    CollectFreeParameters(ws);
    try {
      std::vector<double> values = ws.Alg.Values;
      fuzz::RequireFinite(EvaluateObjectiveWithCode(ws, values, 1), "the objective");
    } catch (const NumericFault&) {
    }
  }
  return 0;
}
