// Ending the process.
#pragma once

#include "platform/win_types.h"

// Ends the process at once with the exit code; nothing else runs.
[[noreturn]] void ExitProcess(UINT uExitCode);
