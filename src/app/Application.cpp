#include "app/Application.h"

#include <QMessageBox>

#include <exception>

namespace kalvex::app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Kalvex");
  setApplicationVersion(KALVEX_VERSION);
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    // The run-time report of a fault no handler caught.
    QMessageBox::critical(activeWindow(), "Kalvex", QString::fromStdString(error.what()));
  }
  return false;
}

}  // namespace kalvex::app
