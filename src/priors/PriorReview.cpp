#include "priors/PriorReview.h"

#include <cmath>

#include "workspace/ComputePriorValue.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/PriorTable.h"
#include "workspace/TextFile.h"

namespace kalvex {
namespace {

const char* const kExplanation[] = {
    "Note: Here is a chance to review the likelihood of your current parameter estimates relative to ",
    "your Bayesian prior distributions.",
    "",
    "A -ln[likelihood] value of zero applies when your maximum-likelihood estimate for a parameter ",
    "occurs at the most likely value of your chosen prior distribution for that parameter.  If the ",
    "values shown here are quite large (i.e., parameter estimates are much less likely than the most ",
    "likely prior value), then you might wish to reconsider your prior assumptions.  You should also ",
    "check, and be suspicious of, estimates lying against a left or right boundary of a ",
    "steep cliff distribution or the uniform-bounded distribution.",
    "",
    "You should also formally evaluate the overlap of the prior probability distribution ",
    "of each parameter with the posterior distribution for that parameter, e.g., the (perhaps) ",
    "Gaussian confidence region from a covariance analysis.  This overlap is a measure of the ",
    "probability that the parameter estimate can reasonably be associated with both distributions. ",
    "Depending on sample size, and if the distributions are nearly Gaussian, then you can try a ",
    "t-test or a z-test using the moments of the distributions.  If the distributions do not ",
    "significantly overlap, then you might want to reconsider your prior distribution.  Cumulative ",
    "and attenuated probability plots for prior distributions can be saved in *.pdp files.",
    "",
};

std::string Likelihoods(double negLnL, double likelihood) {
  return " has a prior -ln[L] of " + RightJustify(FormatNumber(negLnL, "##0.00"), 8) + " and a prior likelihood of " +
         RightJustify(FormatNumber(likelihood, "0.000000"), 8);
}

// exp(-negLnL), or the fault that names where it overflowed.
double Likelihood(double negLnL, const std::string& where) {
  const double likelihood = std::exp(-negLnL);
  if (!std::isfinite(likelihood)) throw NumericFault(std::string(kOverflow) + " in the prior likelihood of " + where);
  return likelihood;
}

}  // namespace

std::optional<std::string> PriorReviewSettings::Validate(const PriorTable& priors) const {
  const auto needed = static_cast<std::size_t>(numParameters) + 1;
  if (numParameters < 0 || values.size() < needed || priors.size() < needed)
    return "The review needs a value and a prior for each of the " + std::to_string(numParameters) + " parameters";
  if (!std::isfinite(objectiveScale)) return std::string("The scale of the objective is not a number");
  return std::nullopt;
}

PriorReviewSettings PriorReviewSettingsOf(Workspace& ws) {
  PriorReviewSettings settings{ws.Alg.NumParameters, ws.Alg.Values, ws.ObjectiveScale};
  ExpandLinks(ws, settings.values);
  return settings;
}

PriorReview ComputePriorReview(const PriorTable& priors, const PriorReviewSettings& settings) {
  const int numParameters = settings.numParameters;
  const std::vector<double>& values = settings.values;
  const double objectiveScale = settings.objectiveScale;
  PriorReview review;
  std::vector<double> terms(static_cast<std::size_t>(numParameters) + 1, 0.0);
  review.priorValue = objectiveScale * PriorTermSum(priors, numParameters, values, &terms);
  for (int i = 1; i <= numParameters; ++i) {
    if (LetterOf(priors[i]) == 'U') continue;
    // Each prior's own term, not scaled to objective units: the likelihood
    // shown must not depend on the -ln[L] constant entered for the model.
    PriorReviewLine line{i, values[i], terms[i], 0};
    line.likelihood = Likelihood(line.negLnL, "parameter #" + std::to_string(i) + " (" +
                                                  DistributionName(priors[i].TypeLetters) + ")");
    review.negLnL += line.negLnL;
    review.lines.push_back(line);
  }
  review.likelihood = Likelihood(review.negLnL, "the entire model");
  return review;
}

std::string PriorReviewText(const PriorReview& review) {
  TextBuilder text;
  for (const char* line : kExplanation) text.Line(line);
  for (const PriorReviewLine& line : review.lines)
    text.Line("Parameter " + RightJustify(FormatNumber(line.parameter, "##0"), 3) + " at " +
              RightJustify(FormatNumber(line.value, "0.000E+00"), 10) + Likelihoods(line.negLnL, line.likelihood));
  text.Line();
  text.Line("           The entire model" + Likelihoods(review.negLnL, review.likelihood));
  return text.Text();
}

PriorReview ReviewOfWorkspace(Workspace& ws) {
  PriorReviewSettings settings = PriorReviewSettingsOf(ws);
  ComputePriorValue(ws, settings.values);
  return ComputePriorReview(ws.Priors, settings);
}

}  // namespace kalvex
