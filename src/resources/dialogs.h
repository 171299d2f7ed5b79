// The dialog templates of the game: About, Game Options, 3D Rendering
// Options and High Scores, found by the dialog layer through their ids.
#pragma once

#include "platform/win_resources_dialog.h"
#include "resources/dialog_ids.h"
