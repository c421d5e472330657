#include "app/OneFunctionForm.h"

#include <QTextEdit>
#include <QVBoxLayout>

#include "app/Workbench.h"
#include "workspace/OneFunctionCall.h"

namespace kalvex::app {

OneFunctionForm::OneFunctionForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle("One function call");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ui::qt::MakeReportPane(this, kOneFunctionPane));
}

bool OneFunctionForm::UserClosing() {
  workbench_.menu.AnalysisEnded();
  return true;
}

}  // namespace kalvex::app
