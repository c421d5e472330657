#include "minimize/MinimizerReports.h"

#include <cmath>

#include "ui/Frontend.h"
#include "workspace/Format.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

std::string LogEntry(int parameter, double value) {
  return FormatNumber(parameter, "    000) ") + RightJustify(FormatNumber(value, "0.0000000E+00"), 14);
}

}  // namespace

std::string ParameterLine(const Workspace& ws, int parameter, double value) {
  return FormatNumber(parameter, "    000) ") + RightJustify(FormatNumber(value, "0.0000000E+00"), 14) + " " +
         RightJustify(ws.Alg.Links[parameter], 3) + "  " + ws.Alg.Descriptions[parameter] + kCrLf;
}

std::string ParameterLines(const Workspace& ws, const std::vector<double>& freeValues) {
  std::string text;
  for (int k = 1; k <= ws.Free.FreeCount; ++k) text += ParameterLine(ws, ws.Free.FreeIndex[k], freeValues[k]);
  return text;
}

void WriteLogGroups(LogWriter& log, const Workspace& ws, const std::vector<double>& freeValues) {
  int count = ws.Free.FreeCount;
  for (int k = 1; k <= count; ++k) {
    std::string entry = LogEntry(ws.Free.FreeIndex[k], freeValues[k]);
    if (k % 4 == 0)
      log.WriteLine(entry);
    else
      log.Write(entry);
  }
}

bool LogWanted(const Workspace& ws) { return ws.Alg.FileFrequency != 0 && ws.Log.IsOpen(); }

std::string ToleranceFigure(double tolerance, double spread, double reference) {
  if (tolerance >= 0) return " Abs TC> " + FormatNumber(std::fabs(spread), "0.0000E+00");
  double figure = reference == 0 ? std::fabs(spread) : std::fabs(spread / reference);
  return " Rel TC> " + FormatNumber(figure, "0.0000E+00");
}

std::string NumericFaultText(const Workspace& ws, const std::string& fault, const std::vector<double>& fullVector) {
  std::string text = "Numeric fault: " + fault + kCrLf + kCrLf +
                     "The fault occurred at these adjusted parameter values:" +
                     kCrLf + kCrLf;
  for (int k = 1; k <= ws.Free.FreeCount; ++k) {
    int parameter = ws.Free.FreeIndex[k];
    double value = parameter < static_cast<int>(fullVector.size()) ? fullVector[parameter] : 0.0;
    text += LogEntry(parameter, value) + kCrLf;
  }
  text += kCrLf;
  text += "The parameter values hold the best point found before the fault.";
  return text;
}

void ReportDecompositionFailure(const Workspace& ws, int zeroRow, ui::Frontend& ui) {
  const auto& index = ws.Free.FreeIndex;
  int parameter = zeroRow < static_cast<int>(index.size()) ? index[zeroRow] : zeroRow;
  std::string title = "Matrix decompositon failure at parameter #" + std::to_string(parameter) + "!";
  // Before any Marquardt setup (a covariance analysis) the derivatives are
  // numerical ones, so the numerical text applies.
  const char* text = ws.DerivativeMode == "A"
                         ? "Look for statistically dead parameters and/or suspect your analytical derivatives"
                         : "Look for statistically dead model parameters";
  ui.Message(title, text, ui::style::kExclamation);
}

void SetPanel(ui::Frontend& ui, int panel, const std::string& text) { ui.SetStatus(kActivityBar, panel, text); }

void ClearPanels(ui::Frontend& ui, int first, int last) {
  for (int panel = first; panel <= last; ++panel) ui.SetStatus(kActivityBar, panel, "");
}

std::optional<MinimizeResult> RefuseSettings(RunContext& run, const std::optional<std::string>& problem) {
  if (!problem) return std::nullopt;
  run.Ui().Message(run.Description().faultTitle, *problem, ui::style::kCritical);
  MinimizeResult result;
  result.message = *problem;
  return result;
}

}  // namespace kalvex
