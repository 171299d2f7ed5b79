// The one Qt application object of the process.

#include "platform/qt_app.h"

#include <QApplication>

namespace platform {

// Creates the application object when none exists yet.
void EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "quandrel3d";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  // Desktops match the windows to the installed desktop entry by this name,
  // and take the icon and the menu name from there (Wayland has no other way).
  QGuiApplication::setDesktopFileName(QStringLiteral(QUANDREL_APP_ID));
}

}  // namespace platform
