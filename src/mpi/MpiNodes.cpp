#include "mpi/MpiNodes.h"

#include <mpi.h>

#include <algorithm>
#include <iostream>
#include <numeric>

namespace kalvex {
namespace {

// A chunk record as doubles (node numbers stay exact below 2^53): begin,
// end, doneEnd, faulted, then each vector's length and values.
void Pack(const ChunkRecord& record, std::vector<double>& out) {
  out.insert(out.end(), {static_cast<double>(record.begin), static_cast<double>(record.end),
                         static_cast<double>(record.doneEnd), record.faulted ? 1.0 : 0.0});
  for (const std::vector<double>* vector : {&record.startPre, &record.lastPre, &record.lastPost}) {
    out.push_back(static_cast<double>(vector->size()));
    out.insert(out.end(), vector->begin(), vector->end());
  }
}

std::size_t Unpack(const std::vector<double>& in, std::size_t at, ChunkRecord& record) {
  record.begin = static_cast<int64_t>(in[at]);
  record.end = static_cast<int64_t>(in[at + 1]);
  record.doneEnd = static_cast<int64_t>(in[at + 2]);
  record.faulted = in[at + 3] != 0;
  at += 4;
  for (std::vector<double>* vector : {&record.startPre, &record.lastPre, &record.lastPost}) {
    const auto size = static_cast<std::size_t>(in[at++]);
    vector->assign(in.begin() + static_cast<std::ptrdiff_t>(at), in.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
  }
  return at;
}

class MpiNodes : public NodeSpreader {
 public:
  explicit MpiNodes(std::unique_ptr<ThreadedNodes> local) : local_(std::move(local)) {
    MPI_Comm_rank(MPI_COMM_WORLD, &rank_);
    MPI_Comm_size(MPI_COMM_WORLD, &size_);
    const int mine = local_->Workers();
    workers_.resize(static_cast<std::size_t>(size_));
    MPI_Allgather(&mine, 1, MPI_INT, workers_.data(), 1, MPI_INT, MPI_COMM_WORLD);
    total_ = std::accumulate(workers_.begin(), workers_.end(), 0);
  }

  int Workers() const override { return total_; }

  bool Evaluate(const NodeJob& job, std::vector<ChunkRecord>& chunks, const NodesTick& tick) override {
    // Each rank's part in rank order, in proportion to its threads.
    const int64_t count = job.last - job.first;
    std::vector<int> counts(static_cast<std::size_t>(size_)), displacements(counts.size());
    int64_t before = 0;
    for (std::size_t r = 0; r < counts.size(); ++r) {
      const int64_t begin = count * before / total_;
      before += workers_[r];
      displacements[r] = static_cast<int>(begin);
      counts[r] = static_cast<int>(count * before / total_ - begin);
    }
    const auto me = static_cast<std::size_t>(rank_);
    const int64_t begin = job.first + displacements[me];
    std::vector<ChunkRecord> mine;
    // The progress of this rank's part stands for the whole job's.
    const int64_t share = std::max(1, counts[me]);
    const bool going = local_->EvaluateRange(job, begin, begin + counts[me], mine,
                                             [&](int64_t done) { return tick(done * count / share); });
    int stopped = going ? 0 : 1, anyStopped = 0;
    MPI_Allreduce(&stopped, &anyStopped, 1, MPI_INT, MPI_LOR, MPI_COMM_WORLD);
    if (anyStopped) return false;

    MPI_Allgatherv(MPI_IN_PLACE, 0, MPI_DATATYPE_NULL, job.weights.data(), counts.data(), displacements.data(),
                   MPI_DOUBLE, MPI_COMM_WORLD);
    std::vector<double> packed;
    for (const ChunkRecord& record : mine) Pack(record, packed);
    const int size = static_cast<int>(packed.size());
    std::vector<int> sizes(counts.size()), offsets(counts.size());
    MPI_Allgather(&size, 1, MPI_INT, sizes.data(), 1, MPI_INT, MPI_COMM_WORLD);
    std::exclusive_scan(sizes.begin(), sizes.end(), offsets.begin(), 0);
    std::vector<double> all(static_cast<std::size_t>(offsets.back() + sizes.back()));
    MPI_Allgatherv(packed.data(), size, MPI_DOUBLE, all.data(), sizes.data(), offsets.data(), MPI_DOUBLE,
                   MPI_COMM_WORLD);
    for (std::size_t at = 0; at < all.size();) {
      ChunkRecord record;
      at = Unpack(all, at, record);
      chunks.push_back(std::move(record));
    }
    return true;
  }

 private:
  std::unique_ptr<ThreadedNodes> local_;
  int rank_ = 0, size_ = 1, total_ = 1;
  std::vector<int> workers_;  // each rank's threads
};

}  // namespace

MpiSession::MpiSession(int* argc, char*** argv) {
  int provided = 0;
  MPI_Init_thread(argc, argv, MPI_THREAD_FUNNELED, &provided);
  MPI_Comm_rank(MPI_COMM_WORLD, &rank_);
  MPI_Comm_size(MPI_COMM_WORLD, &size_);
}

MpiSession::~MpiSession() { MPI_Finalize(); }

int MpiSession::End(int code) {
  if (code != 0 && size_ > 1) {
    // Its message is out before the job goes.
    std::cout.flush();
    std::cerr.flush();
    MPI_Abort(MPI_COMM_WORLD, code);
  }
  return code;
}

batch::RankRole MpiSession::Role() const {
  batch::RankRole role;
  role.primary = rank_ == 0;
  role.rank = rank_;
  if (size_ > 1) role.spreadNodes = [](const Problem& problem) { return MakeMpiNodes(problem); };
  return role;
}

std::unique_ptr<NodeSpreader> MakeMpiNodes(const Problem& problem) {
  std::vector<ObjectiveEvaluator> evaluators =
      MakeEvaluators(problem.objective, std::max(1, problem.settings.threads));
  int clonable = evaluators.empty() ? 0 : 1, everywhere = 0;
  MPI_Allreduce(&clonable, &everywhere, 1, MPI_INT, MPI_LAND, MPI_COMM_WORLD);
  if (!everywhere) return nullptr;
  return std::make_unique<MpiNodes>(
      std::make_unique<ThreadedNodes>(std::move(evaluators), problem.objective.Terms().objectiveScale));
}

}  // namespace kalvex
