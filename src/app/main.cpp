// kalvex: the interactive workbench.
#include <QCommandLineParser>
#include <QMessageBox>

#include "app/Application.h"
#include "app/Examples.h"
#include "app/PendingAnalyses.h"
#include "app/Workbench.h"

int main(int argc, char** argv) {
  kalvex::app::Application app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription("Kalvex: maximum-likelihood estimation and evaluation of the Oskane model.");
  parser.addHelpOption();
  parser.addVersionOption();
  QCommandLineOption example("example", "Start on the two-species example, initialized and loaded.");
  parser.addOption(example);
  parser.process(app);

  kalvex::app::Workbench workbench(kalvex::app::MakeWorkbenchModel());
  workbench.Start();
  if (parser.isSet(example)) {
    QString folder = QCoreApplication::applicationDirPath();
    if (auto files = kalvex::app::FindTwoSpeciesExample(folder))
      workbench.menu.OpenExample(files->species, files->data.toStdString(), files->algorithm.toStdString());
    else
      QMessageBox::warning(nullptr, "Kalvex",
                           "The example files are not in " + kalvex::app::ExampleFolders(folder).join(" or "));
  }
  return app.exec();
}
