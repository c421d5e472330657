// The priors file, read into a workspace whose model has the parameter
// count of its first line (1 to 25 species; any other count is a mismatch
// for one species). A table that reads completely is written back: reading
// that text again gives the same text, and the prior value at the default
// values is finite or a numeric fault.
//
// Fuzz seeds: tests/data/priors/*.pri
#include <cstdlib>

#include "priors/PriorsFile.h"
#include "support/FuzzSupport.h"
#include "support/QuietFrontend.h"
#include "workspace/ComputePriorValue.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/TextFile.h"

using namespace kalvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<Workspace> workspace =
      fuzz::InitializedWorkspace(fuzz::SpeciesOfCount(bytes.substr(0, bytes.find_first_of("\r\n"))));
  Workspace& ws = *workspace;
  SetDefaultAlgorithmData(ws);
  ws.ObjectiveScale = 1;
  fuzz::MemoryFile file(bytes);
  fuzz::QuietFrontend ui;
  PriorsReadOutcome read = ReadPriorsFile(ws, ui, file.Path());
  if (!read.opened || read.parse.status != PriorsFileStatus::Read) return 0;
  const int n = ws.Alg.NumParameters;
  const std::string text = PriorsFileText(ws.Priors, n);
  PriorTable again = ws.Priors;
  if (ParsePriorsLines(SplitLines(text), n, again).status != PriorsFileStatus::Read) std::abort();
  fuzz::RequireSameText(text, PriorsFileText(again, n));
  try {
    ComputePriorValue(ws, ws.Alg.Values);
    fuzz::RequireFinite(ws.PriorValue, "the prior value");
  } catch (const NumericFault&) {
  }
  return 0;
}
