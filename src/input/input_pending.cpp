// PENDING MERGE: the keyboard reader is built on its own branch; until it
// lands the view window's creation and destruction call these, which have no
// device to make or release. Delete this file when input.cpp arrives.

#include "input/input.h"

// ---- functions ------------------------------------------------------------

// No device yet.
void InitInput(void) {}

// No device yet.
void ReleaseInput(void) {}
