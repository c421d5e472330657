// Fits of NIST StRD problems by both minimizers, judged by the log relative
// error (LRE) of the parameters against the certified values. Steps are 10%
// of the start values and the tolerance is relative, 1E-12. The numerical
// derivatives' relative step of 0.001 limits Marquardt to about four digits;
// the Simplex with its axial verification gets six or more.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/NistFit.h"
#include "workspace/Format.h"

namespace kalvex {
namespace {

using testing::FitNist;
using testing::Minimizer;
using testing::NistFitOptions;

struct NistCase {
  const char* name;
  int start;
  Minimizer minimizer;
  double minLre;  // required for every parameter
};

std::string Describe(const NistCase& c) {
  return std::string(c.name) + " start " + std::to_string(c.start) +
         (c.minimizer == Minimizer::Simplex ? " Simplex" : " Marquardt");
}

class NistFit : public ::testing::TestWithParam<NistCase> {};

TEST_P(NistFit, ReachesTheCertifiedParameters) {
  const NistCase& c = GetParam();
  NistFitOptions options;
  options.minimizer = c.minimizer;
  options.start = c.start;
  testing::NistFitResult fit = FitNist(c.name, options);
  std::string lres;
  for (double lre : fit.lre) lres += " " + FormatNumber(lre, "0.0");
  std::printf("%-28s %-12s LRE%s  (RSS %s; %d iterations, %lld calls)\n", Describe(c).c_str(),
              RunEndName(fit.run.end), lres.c_str(), FormatNumber(fit.rssLre, "0.0").c_str(), fit.run.iterations,
              static_cast<long long>(fit.run.totalFunctionCalls));
  EXPECT_EQ(fit.run.end, RunEnd::Converged) << Describe(c);
  EXPECT_GE(fit.minLre, c.minLre) << Describe(c);
}

INSTANTIATE_TEST_SUITE_P(
    Problems, NistFit,
    ::testing::Values(NistCase{"Misra1a", 1, Minimizer::Marquardt, 3.5},
                      NistCase{"Misra1a", 2, Minimizer::Marquardt, 3.5},
                      NistCase{"Chwirut2", 1, Minimizer::Marquardt, 4},
                      NistCase{"Chwirut2", 2, Minimizer::Marquardt, 4},
                      NistCase{"DanWood", 1, Minimizer::Marquardt, 3.5},
                      NistCase{"DanWood", 2, Minimizer::Marquardt, 3.5},
                      NistCase{"BoxBOD", 1, Minimizer::Marquardt, 5},
                      NistCase{"BoxBOD", 2, Minimizer::Marquardt, 5},
                      NistCase{"Eckerle4", 1, Minimizer::Marquardt, 4.5},
                      NistCase{"Eckerle4", 2, Minimizer::Marquardt, 4.5},
                      NistCase{"Rat42", 1, Minimizer::Marquardt, 4},
                      NistCase{"Rat42", 2, Minimizer::Marquardt, 4},
                      NistCase{"MGH09", 2, Minimizer::Marquardt, 4},
                      NistCase{"Gauss1", 1, Minimizer::Marquardt, 5},
                      NistCase{"ENSO", 2, Minimizer::Marquardt, 3},
                      NistCase{"Rat43", 2, Minimizer::Marquardt, 3},
                      NistCase{"Misra1a", 1, Minimizer::Simplex, 5},
                      NistCase{"Misra1a", 2, Minimizer::Simplex, 5},
                      NistCase{"Chwirut2", 1, Minimizer::Simplex, 5},
                      NistCase{"Chwirut2", 2, Minimizer::Simplex, 5},
                      NistCase{"DanWood", 1, Minimizer::Simplex, 5},
                      NistCase{"DanWood", 2, Minimizer::Simplex, 5},
                      NistCase{"BoxBOD", 2, Minimizer::Simplex, 5},
                      NistCase{"MGH09", 1, Minimizer::Simplex, 5},
                      NistCase{"MGH09", 2, Minimizer::Simplex, 5},
                      NistCase{"MGH10", 1, Minimizer::Simplex, 5},
                      NistCase{"Eckerle4", 1, Minimizer::Simplex, 5},
                      NistCase{"Eckerle4", 2, Minimizer::Simplex, 5},
                      NistCase{"Rat43", 2, Minimizer::Simplex, 5},
                      NistCase{"Thurber", 1, Minimizer::Simplex, 5},
                      NistCase{"Bennett5", 1, Minimizer::Simplex, 5}),
    [](const ::testing::TestParamInfo<NistCase>& info) {
      std::string name = Describe(info.param);
      for (char& ch : name)
        if (ch == ' ') ch = '_';
      return name;
    });

}  // namespace
}  // namespace kalvex
