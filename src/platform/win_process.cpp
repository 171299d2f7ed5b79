// Ending the process without running exit handlers.

#include "platform/win_process.h"

#include <cstdio>
#include <cstdlib>

// Flushes the standard streams, then ends the process with the code.
void ExitProcess(UINT uExitCode) {
  std::fflush(nullptr);
  std::_Exit((int)uExitCode);
}
