#include "batch/Batch.h"

#include <ostream>

namespace kalvex::batch {

int RunBatch(int argc, char** argv, std::ostream& out, std::ostream& err) {
  (void)argc;
  (void)argv;
  (void)out;
  err << "usage: kalvex-batch COMMAND --species S --data FILE [--alg FILE] [options]\n";
  return 2;
}

}  // namespace kalvex::batch
