// Evaluating the Oskane objective allocates nothing: every working array is
// sized at initialization. Counted by replacing the global operator new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "model/OskaneModel.h"
#include "model/OskaneTestData.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace kalvex {
namespace {

TEST(OskaneEvaluation, AllocatesNothing) {
  OskaneModel model;
  model.Initialize(ModelInitOptions{25, testing::WriteOskaneDataFile(testing::MakeOskaneData(25, 100, 4), "alloc.dat")});
  std::vector<double> values(model.NumParameters() + 1, 0.01);
  values[model.Layout().Omega()] = 0.4;
  model.Evaluate(values, 1);
  const long before = allocations.load();
  for (int nf = 1; nf <= 50; ++nf) {
    values[1] = 0.01 * (nf % 5) - 0.03;  // some calls replace the best fit, some do not
    model.Evaluate(values, nf);
  }
  values[model.Layout().Omega()] = -0.5;  // the penalized path as well
  model.Evaluate(values, 1);
  EXPECT_EQ(allocations.load(), before);
}

}  // namespace
}  // namespace kalvex
