#include "workflow/PriorsLoader.h"

#include "priors/PriorsFile.h"
#include "ui/Names.h"
#include "workflow/PriorEditor.h"
#include "workspace/PriorTable.h"

namespace kalvex {
namespace {

namespace style = ui::style;
using ui::names::kPriorsLoaderForm;

constexpr const char* kEmptyStatus = "Bayesian priors file: ";

const char* const kSettingQuestion =
    "You have the choice to set Bayesian prior probability distributions for the parameters in your model.  If "
    "you choose to assume uniform-unbounded prior distributions for all parameters, then choose 'Yes' now.  Note "
    "that uniform-unbounded is the default prior distribution when no priors are specified.\r\n\r\n"
    "Note that although you can add prior probability distributions to your model with this routine, there is "
    "nothing to stop you from doing the same as part of your model building in your subroutine MODEL.  For "
    "example, the addition of penalty functions in your model routine to restrict a parameter value to greater "
    "than zero is essentially adding a prior distribution equivalent to the 'cliff' distribution in this "
    "routine. \r\n\r\n"
    "If you wish to assume uniform-unbounded prior distributions for all parameters then choose 'No', otherwise "
    "choose 'Yes' to set prior distributions for selected parameters.\r\n\r\n"
    "Note that a priors file applies to all algorithm files associated with the analysis.";

}  // namespace

PriorsLoader::PriorsLoader(Workspace& ws, ui::Frontend& ui, PriorEditor& editor)
    : ws_(ws), ui_(ui), editor_(editor) {}

void PriorsLoader::Open(std::function<void()> showCaller) {
  showCaller_ = std::move(showCaller);
  ws_.PriorsActive = kOn;
  ui_.ShowWindow(kPriorsLoaderForm);
}

void PriorsLoader::ShowCaller() {
  if (showCaller_) showCaller_();
}

void PriorsLoader::Closed() {
  ApplyPriorsActiveRule(ws_);
  ShowCaller();
}

void PriorsLoader::Close() {
  ui_.CloseWindow(kPriorsLoaderForm);
  Closed();
}

void PriorsLoader::SetDefaults() {
  ResetPriorTable(ws_);
  ws_.PriorsActive = kOff;
  ui_.SetStatus(1, 2, kEmptyStatus);
  ui_.Message("Default prior probabilities", "Prior probabilities have been set to default (uniform-unbounded) values",
              style::kInformation);
}

void PriorsLoader::OpenFile() {
  ui::FileDialog dialog;
  dialog.title = "Load Bayesian Priors file";
  dialog.filter = "All files (*.*)|*.*|Bayesian priors files (*.pri)|*.pri";
  dialog.filterIndex = 2;
  std::optional<std::string> path = ui_.OpenFile(dialog);
  if (!path) return;
  Close();
  PriorsReadOutcome read = ReadPriorsFile(ws_, ui_, *path);
  if (!read.opened) return;  // its message was shown; the table is as it was
  ws_.PriorsFileName = *path;
  if (read.parse.status == PriorsFileStatus::Short) return;
  if (read.parse.status == PriorsFileStatus::Read) {
    // The editor follows: the main menu, shown again as the loader closed,
    // goes before the note that the file was loaded.
    ui_.HideWindow(ui::names::kMenuForm);
    ui_.Message(kPriorsFileTitle, "Bayesian Priors file " + *path + " has been loaded", style::kInformation);
  }
  editor_.Open(showCaller_);
  ui_.SetStatus(1, 2, PriorsStatusText(*path));
}

void PriorsLoader::SetOrReset() {
  ui_.HideWindow(kPriorsLoaderForm);
  if (ws_.AnyPriorSet()) {
    editor_.Open(showCaller_);
    return;
  }
  if (ui_.Message("Setting Bayesian Priors", kSettingQuestion, style::kYesNo + style::kQuestion) != ui::Answer::Yes) {
    SetDefaults();
    Close();
    return;
  }
  if (ws_.PriorsFileName.empty()) {
    ui::LocalDateTime now = ui_.Now();
    ws_.PriorsFileName = DateTimeFileName(now.month, now.day, now.hour, now.minute, ".pri");
  }
  editor_.Open(showCaller_);
  ui_.SetStatus(1, 2, PriorsStatusText(ws_.PriorsFileName));
}

void PriorsLoader::SetUniform() {
  ui_.HideWindow(kPriorsLoaderForm);
  SetDefaults();
  Close();
}

void PriorsLoader::Cancel() { Close(); }

}  // namespace kalvex
