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
}

}  // namespace platform
