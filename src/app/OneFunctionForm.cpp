#include "app/OneFunctionForm.h"

#include <QTextEdit>
#include <QVBoxLayout>

#include "app/Workbench.h"
#include "workflow/OneFunctionCall.h"

namespace kalvex::app {

OneFunctionForm::OneFunctionForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle("One function call");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ui::qt::MakeReportPane(this, QLatin1String(kOneFunctionPane.data())));
}

bool OneFunctionForm::UserClosing() {
  workbench_.menu.AnalysisEnded();
  return true;
}

}  // namespace kalvex::app
