// Makes sure a Qt application object exists before the layer shows anything.
#pragma once

namespace platform {
// Creates the QApplication on first use (the game's entry point normally
// creates it first thing; message boxes before that still work).
void EnsureApplication();
}  // namespace platform
