#pragma once
// The texts an evaluation writes: the distribution report of a profile or a
// posterior (shown in its window, saved as ".mlc" or ".pos") and the
// bivariate grid file (".grd").
#include <string>
#include <string_view>

#include "workspace/Results.h"

namespace kalvex {

inline constexpr const char* kMaxLikeReportTitle = "Maximum-likelihood confidence distribution data";
inline constexpr const char* kBayesianReportTitle = "Bayesian posterior distribution data";

// The report (CR LF lines): the title line, the per-point table, the
// summary lines and the note (when not empty).
std::string EvaluationReportText(std::string_view title, const EvaluationTable& table,
                                 const EvaluationSummary& summary, std::string_view note = {});

// The ".grd" file: two header lines, then one line per profile point (outer)
// and grid point (inner) with x, y and the unnormalised density.
std::string BivariateGridText(const BivariateGrid& grid);

}  // namespace kalvex
