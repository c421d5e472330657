// kalvex: the interactive workbench.
#include "app/Application.h"
#include "app/PendingAnalyses.h"
#include "app/Workbench.h"

int main(int argc, char** argv) {
  kalvex::app::Application app(argc, argv);
  kalvex::app::Workbench workbench(kalvex::app::MakeWorkbenchModel());
  workbench.Start();
  return app.exec();
}
