#include "plots/qt/OffscreenApplication.h"

#include <cstdio>

#include <QGuiApplication>

namespace kalvex::plots {
namespace {

// Standard error of a program without windows carries that program's own
// messages, one per line; Qt's notes on the environment (no runtime
// directory, no session) are not among them.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

void EnsureGuiApplication() {
  if (QGuiApplication::instance()) return;
  qInstallMessageHandler(QuietQtMessages);
  static int argc = 3;
  static char name[] = "kalvex", option[] = "-platform", platform[] = "offscreen";
  static char* argv[] = {name, option, platform, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

}  // namespace kalvex::plots
