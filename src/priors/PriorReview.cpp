#include "priors/PriorReview.h"

#include "priors/ComputePriorValue.h"
#include "priors/PriorTable.h"
#include "ui/Names.h"
#include "ui/PaneFile.h"
#include "ui/ProposedName.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/TextFile.h"

namespace kalvex {
namespace {

namespace names = ui::names;

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

std::string Likelihoods(double negLnL) {
  return " has a prior -ln[L] of " + RightJustify(FormatNumber(negLnL, "##0.00"), 8) + " and a prior likelihood of " +
         RightJustify(FormatNumber(SafeExp(-negLnL), "0.000000"), 8);
}

}  // namespace

std::string PriorReviewText(const Workspace& ws) {
  TextBuilder text;
  for (const char* line : kExplanation) text.Line(line);
  double total = 0;
  for (int i = 1; i <= ws.Alg.NumParameters; ++i) {
    if (LetterOf(ws.Priors[i]) == 'U') continue;
    double v = ws.ObjectiveScale * ws.PriorTerms[i];
    total += v;
    text.Line("Parameter " + RightJustify(FormatNumber(i, "##0"), 3) + " at " +
              RightJustify(FormatNumber(ws.Alg.Values[i], "0.000E+00"), 10) + Likelihoods(v));
  }
  text.Line();
  text.Line("           The entire model" + Likelihoods(total));
  return text.Text();
}

void ReviewPriors(Workspace& ws, ui::Frontend& ui) {
  std::string text;
  try {
    std::vector<double> values = ws.Alg.Values;
    ExpandLinks(ws, values);
    ComputePriorValue(ws, values);
    text = PriorReviewText(ws);
  } catch (const NumericFault& fault) {
    ui.Message("Review priors ", "Numeric fault: " + std::string(fault.what()), ui::style::kCritical);
    return;
  }
  ui.ShowWindow(names::kReviewPriorsForm);
  ui.SetPaneText(names::kReviewPriorsForm, names::kReviewPriorsPane, text);
}

std::optional<std::string> SavePriorReview(const Workspace& ws, ui::Frontend& ui) {
  ui::FileDialog dialog;
  dialog.title = "Save review in...";
  dialog.filter = "All files (*.*)|*.*|Review priors files (*.rvp)|*.rvp";
  dialog.filterIndex = 2;
  dialog.fileName = ui::NamedForAlgorithmFile(ws.AlgorithmFileName, ".rvp");
  dialog.overwritePrompt = true;
  return ui::SavePaneToFile(ui, names::kReviewPriorsForm, names::kReviewPriorsPane, dialog, "The review");
}

}  // namespace kalvex
