// The covariance file as the model averaging reads it back: the first byte
// plus one is the model's parameter count (1 to 256, beyond the largest
// model), the second picks how many of them were estimated; the rest is the
// file. A file that reads gives finite estimates and standard errors.
//
// Fuzz seeds: tests/data/*.cov tests/data/ranking/*.cov
// Fuzz seed prefix: printf \002\002
#include "ranking/CovarianceEstimates.h"
#include "support/FuzzSupport.h"
#include "workspace/TextFile.h"

using namespace kalvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int n = data[0] + 1;
  const int freeCount = data[1] % (n + 1);
  fuzz::MemoryFile file(std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2));
  TextLimits limits;
  limits.maxLines = static_cast<std::size_t>(ranking::CovarianceLayoutLines(n, freeCount));
  ReadResult read = ReadTextLines(file.Path(), limits);
  if (!read.ok) return 0;
  ranking::CovarianceParse parse = ranking::ParseCovarianceEstimates(read.lines, n, freeCount);
  if (!parse.ok) return 0;
  for (int i = 1; i <= n; ++i) {
    fuzz::RequireFinite(parse.estimates.estimate.at(static_cast<std::size_t>(i)), "an estimate");
    for (double se : parse.estimates.se.at(static_cast<std::size_t>(i))) fuzz::RequireFinite(se, "a standard error");
  }
  return 0;
}
