#include "app/InfoWindows.h"

#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cstring>

namespace kalvex::app {
namespace {

const char* const kDefaultsText =
    "Default algorithm data\n"
    "======================\n"
    "Answer NO to \"Load an existing algorithm data file?\" and every parameter gets:\n"
    "  value 0, step size 0 (fixed), fuse code ~~ (not linked).\n"
    "The minimizer settings become:\n"
    "  Tolerance                      1E-06 (positive: absolute, negative: relative)\n"
    "  Maximum function calls         9999  (Simplex) or iterations (Marquardt)\n"
    "  Terminal display frequency     10\n"
    "  Log file write frequency       0     (no log until you open one)\n"
    "  Log file name                  minimize.kvl\n"
    "  Step size reduction fraction   0.1\n"
    "Every step is 0 after defaulting: open the editor and give the parameters you\n"
    "want to estimate a step before you minimize.\n"
    "\n"
    "File names\n"
    "==========\n"
    "  Default algorithm data get a date-time name, mmddhhmm.alg (month, day,\n"
    "  hour, minute), shown in the second status bar.\n"
    "  .dat  model data          .alg  algorithm data      .kvl  minimization log\n"
    "  .kvo  results summary     .pri  Bayesian priors     .cov  covariances\n"
    "  .mlc  likelihood profile  .pos  posterior profile   .grd  bivariate grid\n"
    "  .pdp  prior profile       .rvp  prior review        .mms  model ranking\n"
    "Covariance files are named after the algorithm file; the model ranking\n"
    "reads them back from the folder of the algorithm file.\n"
    "\n"
    "Nothing is stored between runs: keep what you need in your saved files.\n";

const char* const kWisdomText =
    "Step sizes\n"
    "==========\n"
    "  A step of 0 fixes a parameter. A free parameter's step should be about a\n"
    "  tenth of the distance you expect between the start value and the answer;\n"
    "  the editor's proportional edits give steps of 0.1 x the value (a value of\n"
    "  0 gets the proportion itself). Forecast inputs must keep step 0.\n"
    "  Steps far too small make the Simplex crawl; far too large, and it jumps\n"
    "  over the minimum or into regions where the model is penalized.\n"
    "\n"
    "Tolerances\n"
    "==========\n"
    "  An absolute tolerance stops when the objective values of the simplex agree\n"
    "  to that amount; a relative one compares the spread to the best value and\n"
    "  fails when the best value is 0. 1E-06 is the smallest allowed and is\n"
    "  usually right for -2lnL objectives of a few hundred units. A tolerance of\n"
    "  exactly 0 never stops the Simplex before its maximum number of calls.\n"
    "  Before it stops, the Simplex checks the minimum by moving each free\n"
    "  parameter by the reduction fraction x its step in both directions.\n"
    "  Restart a minimization from its answer once: a second run that moves the\n"
    "  estimates means the first had not converged.\n"
    "\n"
    "Links (fuses)\n"
    "=============\n"
    "  Parameters with the same fuse code (A..Z, AA..ZZ) share one value: the\n"
    "  lowest-numbered one is estimated and the others follow it with step 0.\n"
    "  A code used by a single parameter is removed when an analysis starts.\n"
    "  Use links to test whether two coefficients can be the same, then compare\n"
    "  the models by AICc in the multi-model statistics.\n"
    "\n"
    "Habits that save time\n"
    "=====================\n"
    "  Make one function call before a minimization: it shows the objective at\n"
    "  the start values and how long one evaluation takes.\n"
    "  Save the algorithm data after every successful fit.\n"
    "  Open a log file before long runs; it records the progress as it goes.\n";

const char* const kCreditsText =
    "Kalvex\n"
    "======\n"
    "A parameter estimation and evaluation workbench for non-linear models,\n"
    "with the built-in multi-species Oskane harvest-rate-index model.\n"
    "\n"
    "Built with\n"
    "==========\n"
    "  Qt 6              the windows, dialogs, plots and event handling\n"
    "  GoogleTest        the tests of the computations and files\n"
    "  Google Benchmark  the measurements of evaluation speed\n"
    "  The C++ standard library for everything else.\n"
    "\n"
    "Kalvex stores nothing between runs and sends nothing anywhere: every result\n"
    "lives in the files you save.\n";

}  // namespace

QString InformationTitle(const char* form) {
  if (std::strcmp(form, kWisdomForm) == 0) return "Wisdom";
  if (std::strcmp(form, kCreditsForm) == 0) return "Credits";
  return "Defaults etc.";
}

QString InformationText(const char* form) {
  if (std::strcmp(form, kWisdomForm) == 0) return kWisdomText;
  if (std::strcmp(form, kCreditsForm) == 0) return kCreditsText;
  return kDefaultsText;
}

QWidget* MakeInformationWindow(const char* form) {
  auto* window = new QWidget;
  window->setWindowTitle(InformationTitle(form));
  auto* layout = new QVBoxLayout(window);
  auto* text = new QTextEdit(window);
  text->setObjectName("txtInformation");
  text->setReadOnly(true);
  QFont font("Courier New");
  font.setStyleHint(QFont::TypeWriter);
  text->setFont(font);
  text->setLineWrapMode(QTextEdit::NoWrap);
  text->setPlainText(InformationText(form));
  layout->addWidget(text);
  auto* close = new QPushButton("&Close", window);
  close->setObjectName("cmdClose");
  QObject::connect(close, &QPushButton::clicked, window, &QWidget::close);
  layout->addWidget(close, 0, Qt::AlignRight);
  // Escape closes it as it closes a dialog, and Return presses "&Close",
  // its only button (the text is read-only).
  for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
    QObject::connect(new QShortcut(QKeySequence(key), window), &QShortcut::activated, close, &QPushButton::click);
  // Wide enough for the longest line of the text without a scroll bar.
  QFontMetrics metrics(font);
  int width = 0;
  const QStringList lines = InformationText(form).split('\n');
  for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
  window->resize(width + 80, std::min(static_cast<int>(lines.size() + 6) * metrics.lineSpacing() + 60, 760));
  return window;
}

}  // namespace kalvex::app
