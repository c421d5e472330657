#pragma once
// kalvex-batch: the analyses without windows, writing the files the windows save.
#include <functional>
#include <iosfwd>
#include <memory>

#include "workspace/Model.h"

namespace kalvex {
class NodeSpreader;
class Problem;
}  // namespace kalvex

namespace kalvex::batch {

using ModelFactory = std::function<std::unique_ptr<Model>()>;

// The part a process plays in an MPI run (mpirun -n N kalvex-batch ...).
struct RankRole {
  bool primary = true;  // rank 0, or no MPI: prints and writes the files
  int rank = 0;          // names the others' messages
  // Spreads a posterior's nodes over the ranks; empty: this process's threads.
  std::function<std::unique_ptr<NodeSpreader>(const Problem&)> spreadNodes;
};

// Exit codes: 0 success (also --help, --version), 1 bad input or a failed
// analysis (after its message), 2 wrong usage.
int RunBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
int RunBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
             const ModelFactory& makeModel, const RankRole& role = {});
// A rank other than the primary runs only posterior, in step with the
// others, and prints nothing but errors.
int RunBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err, const RankRole& role);

}  // namespace kalvex::batch
