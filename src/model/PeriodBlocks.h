#pragma once
// The series the prediction multiplies, repacked once at initialization in
// blocks of consecutive periods. A block holds its periods of every series
// row after row, in the order the prediction adds them, so the kernel keeps
// a block's predictions in vector registers and reads one forward stream.
#include <cstddef>
#include <new>
#include <vector>

#include "model/ModelData.h"

namespace kalvex::model {

// The vector registers the prediction kernel runs on.
enum class VectorUnit { kSse2, kAvx2 };

// AVX2 where the processor and the operating system support it, else SSE2.
VectorUnit FastestVectorUnit();

// Cache-line alignment, kept by every copy, so that no vector load straddles two lines.
template <class T>
struct CacheLineAllocator {
  using value_type = T;
  static constexpr std::align_val_t kAlignment{64};
  CacheLineAllocator() = default;
  template <class U>
  CacheLineAllocator(const CacheLineAllocator<U>&) {}
  T* allocate(std::size_t count) { return static_cast<T*>(::operator new(count * sizeof(T), kAlignment)); }
  void deallocate(T* p, std::size_t) { ::operator delete(p, kAlignment); }
  template <class U>
  bool operator==(const CacheLineAllocator<U>&) const { return true; }
};

// Row r of a block holds BlockPeriods() values; species j (1..S) has the rows
// kFirstSpeciesRow + 2 (j - 1) (catch from start) and the one after it (catch step).
enum BlockRow {
  kInterventionRow,
  kLaggedIndexRow,  // LnIndex(i - 1) + IndexGap(i), the sum Omega multiplies
  kEffortFromStartRow,
  kEffortStepRow,
  kFirstSpeciesRow,
};

struct PeriodBlocks {
  VectorUnit unit = VectorUnit::kSse2;
  int periods = 0;  // n; the blocks cover periods 2..n
  int species = 0;
  int lanes = 2;            // doubles in one vector register
  int vectorsPerBlock = 1;  // at most kMaxVectorsPerBlock
  int blockCount = 0;
  // Block after block, each Rows() x BlockPeriods(). Periods past n in the
  // last block repeat period n: they compute what period n does, so they
  // can raise no floating-point fault of their own.
  std::vector<double, CacheLineAllocator<double>> values;

  static constexpr int kMaxVectorsPerBlock = 8;
  // The last block may run this far past n: series it writes need the room.
  static constexpr int kMaxBlockPeriods = kMaxVectorsPerBlock * 4;

  int BlockPeriods() const { return vectorsPerBlock * lanes; }
  // The series rows, then IndexFromStart, which the residual reads last.
  int Rows() const { return kFirstSpeciesRow + 2 * species + 1; }
};

PeriodBlocks PackPeriodBlocks(const ModelData& data, VectorUnit unit);

}  // namespace kalvex::model
