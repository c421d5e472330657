#include <iostream>

#include "batch/Batch.h"
#include "batch/EndOnSignals.h"
#ifdef KALVEX_HAVE_MPI
#include "mpi/MpiNodes.h"
#endif

int main(int argc, char** argv) {
  kalvex::batch::EndStagedFilesOnSignals();
#ifdef KALVEX_HAVE_MPI
  kalvex::MpiSession mpi(&argc, &argv);
  return mpi.End(kalvex::batch::RunBatch(argc, argv, std::cout, std::cerr, mpi.Role()));
#else
  return kalvex::batch::RunBatch(argc, argv, std::cout, std::cerr);
#endif
}
