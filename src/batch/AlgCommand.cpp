#include "algorithm/AlgorithmFile.h"
#include "batch/Commands.h"

namespace kalvex::batch {

// The algorithm file was read and its tolerance normalized by the set-up;
// writing it back with the main-menu writer shows the user the checked file.
int AlgCommand(BatchContext& context) {
  const std::string& out = context.args.options.at("out");
  if (std::optional<std::string> error = SaveAlgorithmFile(context.ws, out, AlgorithmFileVariant::MainMenu))
    return BadInput(context, kAlgorithmSaveFailedTitle,
                    "The algorithm data could not be saved in " + out + "\r\n\r\n" + *error);
  return 0;
}

}  // namespace kalvex::batch
