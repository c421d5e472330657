// Fits of NIST StRD problems by both minimizers, judged by the log relative
// error (LRE) of the parameters against the certified values. Steps are 10%
// of the start values and the tolerance is relative, 1E-12. The numerical
// derivatives' relative step of 0.001 limits Marquardt to about four digits;
// the Simplex with its axial verification gets six or more, and Marquardt on
// the models' exact derivatives eight or more from both starts of every
// problem that is well posed from there.
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

// Problem by start, Marquardt on the exact derivatives ("A"). Six digits
// are asked of every certified parameter; the exceptions stop where the
// start leads (docs/covariance-nist.md gives the whole table):
//  - Lanczos1 from start 1 and Nelson from start 1 settle where the model
//    loses a term (Lanczos1's three rates merge, Nelson's b2 goes to 0 and
//    b3 no longer matters): stationary points, reported as minima;
//  - MGH09 from start 1 reaches a local minimum with a larger sum of squares;
//  - MGH10 and Bennett5 from start 2 and MGH17 from start 1 meet a trial point
//    where the model overflows or takes a power of a negative number: the run
//    ends with that numeric fault, as every run does.
struct AnalyticalCase {
  const char* name;
  int start;
  double minLre;
  RunEnd end = RunEnd::Converged;
};

std::vector<AnalyticalCase> AnalyticalCases() {
  std::vector<AnalyticalCase> cases;
  for (const char* name : {"Misra1a", "Misra1b", "Misra1c", "Misra1d", "Chwirut1", "Chwirut2", "DanWood", "Lanczos2",
                           "Lanczos3", "Gauss1", "Gauss2", "Gauss3", "Hahn1", "Thurber", "Kirby2", "Eckerle4",
                           "Rat42", "Rat43", "BoxBOD", "Roszman1", "ENSO"})
    for (int start : {1, 2}) cases.push_back({name, start, 6});
  cases.push_back({"Lanczos1", 1, 0});
  cases.push_back({"Lanczos1", 2, 6});
  cases.push_back({"Nelson", 1, 0});
  cases.push_back({"Nelson", 2, 6});
  cases.push_back({"MGH09", 1, 0});
  cases.push_back({"MGH09", 2, 6});
  cases.push_back({"MGH10", 1, 6});
  cases.push_back({"MGH10", 2, 0, RunEnd::Error});
  cases.push_back({"MGH17", 1, 0, RunEnd::Error});
  cases.push_back({"MGH17", 2, 6});
  cases.push_back({"Bennett5", 1, 6});
  cases.push_back({"Bennett5", 2, 0, RunEnd::Error});
  return cases;
}

class NistAnalytical : public ::testing::TestWithParam<AnalyticalCase> {};

TEST_P(NistAnalytical, ReachesTheCertifiedParameters) {
  const AnalyticalCase& c = GetParam();
  NistFitOptions options;
  options.start = c.start;
  options.analytical = true;
  testing::NistFitResult fit = FitNist(c.name, options);
  EXPECT_EQ(fit.run.end, c.end) << RunEndName(fit.run.end);
  EXPECT_GE(fit.minLre, c.minLre);
}

INSTANTIATE_TEST_SUITE_P(Problems, NistAnalytical, ::testing::ValuesIn(AnalyticalCases()),
                         [](const ::testing::TestParamInfo<AnalyticalCase>& info) {
                           return std::string(info.param.name) + "_start_" + std::to_string(info.param.start);
                         });

}  // namespace
}  // namespace kalvex
