#include "ui/qt/DialogProvider.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace kalvex::ui::qt {

QString ToQt(const std::string& text) {
  QString result = QString::fromStdString(text);
  result.replace("\r\n", "\n");
  result.replace('\r', '\n');
  return result;
}

QStringList NameFilters(const std::string& filter) {
  QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    QString patterns = parts[i + 1].trimmed();
    patterns.replace(';', ' ');
    if (patterns == "*.*") patterns = "*";
    // Qt reads the patterns from the last parenthesis of the entry, so the
    // description's own "(*.alg)" is replaced by the patterns themselves.
    int open = description.lastIndexOf('(');
    if (open > 0 && description.endsWith(')')) description = description.left(open).trimmed();
    filters << QString("%1 (%2)").arg(description, patterns);
  }
  if (filters.isEmpty()) filters << "All files (*)";
  return filters;
}

namespace {

QMessageBox::Icon IconOf(int s) {
  switch (style::Icon(s)) {
    case style::kCritical: return QMessageBox::Critical;
    case style::kQuestion: return QMessageBox::Question;
    case style::kExclamation: return QMessageBox::Warning;
    case style::kInformation: return QMessageBox::Information;
    // 80 sets the critical and the information bits; it is used both for
    // failures and for "Minimum found", so the neutral icon fits both.
    case style::kCritical + style::kInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// The width a window needs for the window manager to show its whole title:
// the title in a bold face a little larger than the application's (title
// bars use one), and room for the icon and the title bar's buttons.
int TitleWidth(const QString& title) {
  QFont font = QApplication::font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.15);
  return QFontMetrics(font).horizontalAdvance(title) + 140;
}

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialog& dialog, bool save) {
  QFileDialog box(parent, QString::fromStdString(dialog.title));
  box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QStringList filters = NameFilters(dialog.filter);
  box.setNameFilters(filters);
  int index = dialog.filterIndex - 1;
  if (index >= 0 && index < filters.size()) box.selectNameFilter(filters[index]);
  if (!dialog.fileName.empty()) box.selectFile(QString::fromStdString(dialog.fileName));
  if (save && !dialog.overwritePrompt) box.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return std::nullopt;
  QString path = box.selectedFiles().first();
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

}  // namespace

Answer WidgetDialogProvider::Message(QWidget* parent, const std::string& title, const std::string& text, int s) {
  QMessageBox box(IconOf(s), QString::fromStdString(title), ToQt(text), QMessageBox::NoButton, parent);
  QList<QPushButton*> buttons;
  switch (style::Buttons(s)) {
    case style::kYesNoCancel:
      buttons << box.addButton(QMessageBox::Yes) << box.addButton(QMessageBox::No)
              << box.addButton(QMessageBox::Cancel);
      break;
    case style::kYesNo: buttons << box.addButton(QMessageBox::Yes) << box.addButton(QMessageBox::No); break;
    case style::kOkCancel: buttons << box.addButton(QMessageBox::Ok) << box.addButton(QMessageBox::Cancel); break;
    default: buttons << box.addButton(QMessageBox::Ok); break;
  }
  bool secondDefault = (s & style::kSecondDefault) != 0 && buttons.size() > 1;
  box.setDefaultButton(buttons[secondDefault ? 1 : 0]);
  if (style::Buttons(s) == style::kYesNoCancel) box.setEscapeButton(buttons[2]);
  if (style::Buttons(s) == style::kOkCancel) box.setEscapeButton(buttons[1]);
  // A message box sizes itself to its text; a long title would be cut.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(TitleWidth(box.windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  box.exec();
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Ok: return Answer::OK;  // not the Escape answer of an OK/Cancel box
    default: break;
  }
  // A box closed with Escape: No for Yes/No boxes, Cancel for Yes/No/Cancel and OK/Cancel.
  if (style::Buttons(s) == style::kYesNo) return Answer::No;
  if (style::Buttons(s) == style::kYesNoCancel || style::Buttons(s) == style::kOkCancel) return Answer::Cancel;
  return Answer::OK;
}

std::optional<std::string> WidgetDialogProvider::Input(QWidget* parent, const std::string& prompt,
                                                       const std::string& title, const std::string& defaultText) {
  QInputDialog box(parent);
  box.setWindowTitle(QString::fromStdString(title));
  box.setLabelText(ToQt(prompt));
  box.setTextValue(QString::fromStdString(defaultText));
  // Long prompts (the fuse prompt is over a hundred characters) wrap instead
  // of stretching the box across the screen.
  if (auto* label = box.findChild<QLabel*>()) {
    label->setWordWrap(true);
    label->setMinimumWidth(420);
  }
  box.setMinimumWidth(TitleWidth(box.windowTitle()));
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return box.textValue().toStdString();
}

std::optional<std::string> WidgetDialogProvider::OpenFile(QWidget* parent, const FileDialog& dialog) {
  return RunFileDialog(parent, dialog, false);
}

std::optional<std::string> WidgetDialogProvider::SaveFile(QWidget* parent, const FileDialog& dialog) {
  return RunFileDialog(parent, dialog, true);
}

}  // namespace kalvex::ui::qt
