#pragma once
// The Qt application of the workbench. A fault that escapes an analysis is
// reported and the workbench stays up, so unsaved algorithm data survive it.
#include <QApplication>

namespace kalvex::app {

class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace kalvex::app
