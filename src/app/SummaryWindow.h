#pragma once
// The results window (frmSummary): the "Save summary as..." button across
// the top and the editable report pane rtbOut below it.
#include <QWidget>

class QPushButton;
class QTextEdit;

namespace kalvex {
namespace ui {
class Frontend;
}

class SummaryWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr const char* kFormName = "frmSummary";
  static constexpr const char* kCaption = "Oskane results summary";

  // Saving goes through frontend (the dialog, the pane text, messages).
  explicit SummaryWindow(ui::Frontend& frontend, QWidget* parent = nullptr);

  QTextEdit* Pane() const { return rtbOut_; }
  void SaveSummary();

 signals:
  // Closing the window hands the screen back to the main menu.
  void closed();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  ui::Frontend& frontend_;
  QPushButton* cmdSaveSummary_ = nullptr;
  QTextEdit* rtbOut_ = nullptr;
};

// Twips as pixels of this screen (1440 twips to the logical inch).
int TwipsToPixels(const QWidget& widget, double twips);

}  // namespace kalvex
