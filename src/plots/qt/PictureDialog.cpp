#include "plots/qt/PictureDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "plots/qt/FigurePainter.h"

namespace kalvex::plots {

bool SavePictureOrSay(QWidget* parent, const Figure& figure, const QString& path) {
  std::optional<std::string> error = SaveFigurePicture(figure, path.toStdString());
  if (!error) return true;
  QMessageBox::critical(parent, "Save failed",
                        "The picture could not be saved to " + path + ": " + QString::fromStdString(*error));
  return false;
}

bool AskAndSavePicture(QWidget* parent, const QString& proposed, const std::function<bool(const QString&)>& save) {
  // "PNG pictures (*.png)|*.png|..." as Qt's "PNG pictures (*.png);;...".
  const QStringList parts = QString::fromStdString(PictureFileFilter()).split('|');
  QStringList filters, suffixes;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    filters << parts[i];
    suffixes << parts[i + 1].mid(1);  // "*.png" -> ".png"
  }
  QString chosen;
  QString path = QFileDialog::getSaveFileName(parent, "Save plot picture as...", proposed, filters.join(";;"), &chosen);
  if (path.isEmpty()) return false;
  const qsizetype format = filters.indexOf(chosen);
  if (QFileInfo(path).suffix().isEmpty() && format >= 0) path += suffixes[format];
  return save(path);
}

}  // namespace kalvex::plots
