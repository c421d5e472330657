#include "app/Examples.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kalvex::app {

QStringList ExampleFolders(const QString& programFolder) {
  QDir program(programFolder);
  return {program.filePath("examples"), QDir::cleanPath(program.filePath("../share/kalvex/examples"))};
}

std::optional<QString> FindExampleFolder(const QString& programFolder) {
  for (const QString& folder : ExampleFolders(programFolder)) {
    QDir dir(folder);
    if (QFileInfo::exists(dir.filePath("two_species.dat")) && QFileInfo::exists(dir.filePath("two_species.alg")))
      return folder;
  }
  return std::nullopt;
}

QString UserExampleFolder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("examples");
}

std::optional<ExampleFiles> CopyExamples(const QString& source, const QString& target, QString& error) {
  QDir to(target);
  if (!QDir().mkpath(target)) {
    error = "The folder " + target + " cannot be made";
    return std::nullopt;
  }
  for (const QFileInfo& file : QDir(source).entryInfoList(QDir::Files)) {
    const QString copy = to.filePath(file.fileName());
    if (QFileInfo::exists(copy)) continue;
    if (!QFile::copy(file.filePath(), copy)) {
      error = "The example file " + file.fileName() + " cannot be copied to " + target;
      return std::nullopt;
    }
    // Shipped files may be read-only; the user's copy is theirs to change.
    QFile::setPermissions(copy, QFile::permissions(copy) | QFile::WriteOwner | QFile::ReadOwner);
  }
  ExampleFiles files{2, to.filePath("two_species.dat"), to.filePath("two_species.alg")};
  if (!QFileInfo::exists(files.data) || !QFileInfo::exists(files.algorithm)) {
    error = "The two-species example is not in " + target;
    return std::nullopt;
  }
  return files;
}

}  // namespace kalvex::app
