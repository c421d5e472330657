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
    using namespace kalvex::app;
    QString folder = QCoreApplication::applicationDirPath(), error;
    std::optional<ExampleFiles> files;
    if (std::optional<QString> shipped = FindExampleFolder(folder))
      files = CopyExamples(*shipped, UserExampleFolder(), error);
    else
      error = "The example files are not in " + ExampleFolders(folder).join(" or ");
    if (!files)
      QMessageBox::warning(nullptr, "Kalvex", error);
    else if (workbench.menu.OpenExample(files->species, files->data.toStdString(), files->algorithm.toStdString()))
      workbench.ui.SetStatus(5, 1, "Your copy of the example: " + UserExampleFolder().toStdString());
  }
  return app.exec();
}
