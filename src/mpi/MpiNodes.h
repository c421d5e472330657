#pragma once
// kalvex-batch across MPI ranks: every rank runs the same command on the same
// files in step with the others; a posterior's node blocks are cut among the
// ranks (by their thread counts), each rank evaluates its part on its own
// threads, and every rank receives every value and chunk record, so that all
// of them walk, check and sum the blocks alike. Rank 0 alone prints and
// writes; the others print only errors.
#include <memory>

#include "batch/Batch.h"
#include "evaluation/PosteriorNodes.h"

namespace kalvex {

// MPI from start to end of main: only the main thread calls MPI.
class MpiSession {
 public:
  MpiSession(int* argc, char*** argv);
  ~MpiSession();
  MpiSession(const MpiSession&) = delete;
  MpiSession& operator=(const MpiSession&) = delete;

  int Rank() const { return rank_; }
  int Size() const { return size_; }
  // Rank 0 is the primary; with more than one rank posteriors spread over them.
  batch::RankRole Role() const;
  // The exit code of this rank's run. A rank that failed ends the whole job
  // with its code, so that the others do not wait for it in a collective.
  int End(int code);

 private:
  int rank_ = 0, size_ = 1;
};

// The ranks' spreader for the problem (collective: every rank makes it at
// the same step); nullptr on every rank when the model cannot be cloned.
std::unique_ptr<NodeSpreader> MakeMpiNodes(const Problem& problem);

}  // namespace kalvex
