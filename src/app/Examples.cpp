#include "app/Examples.h"

#include <QDir>
#include <QFileInfo>

namespace kalvex::app {

QStringList ExampleFolders(const QString& programFolder) {
  QDir program(programFolder);
  return {program.filePath("examples"), QDir::cleanPath(program.filePath("../share/kalvex/examples"))};
}

std::optional<ExampleFiles> FindTwoSpeciesExample(const QString& programFolder) {
  for (const QString& folder : ExampleFolders(programFolder)) {
    QDir dir(folder);
    ExampleFiles files{2, dir.filePath("two_species.dat"), dir.filePath("two_species.alg")};
    if (QFileInfo::exists(files.data) && QFileInfo::exists(files.algorithm)) return files;
  }
  return std::nullopt;
}

}  // namespace kalvex::app
