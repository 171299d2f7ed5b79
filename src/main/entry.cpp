// Program entry point: hands the command line to the platform layer, makes
// the Qt application and runs the game.

#include <QApplication>

#include "main/main.h"
#include "platform/win_cmdline.h"
#include "platform/win_user.h"

// The options read the command line as the game received it, before Qt
// takes its own switches out.
int main(int argc, char** argv) {
  platform::SetCommandLineArgs(argc, argv);
  QApplication app(argc, argv);
  // Desktops match the windows to the installed desktop entry by this name
  // and take the icon from there; Wayland has no other way.
  QGuiApplication::setDesktopFileName(QStringLiteral(QUANDREL_APP_ID));
  // 1: show the window normally.
  return WinMain(platform::ModuleInstance(), nullptr, GetCommandLineA(), 1);
}
