// kalvex: the interactive workbench.
#include <QApplication>

#include "app/PendingAnalyses.h"
#include "app/Workbench.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kalvex::app::Workbench workbench(kalvex::app::MakeWorkbenchModel());
  workbench.Start();
  return app.exec();
}
