// The Win32 interfaces the game modules call, provided by our platform layer.
#pragma once

#include "platform/win_types.h"
#include "platform/win_cmdline.h"
#include "platform/win_commctrl.h"
#include "platform/win_dialog.h"
#include "platform/win_help.h"
#include "platform/win_menu.h"
#include "platform/win_msgbox.h"
#include "platform/win_registry.h"
#include "platform/win_time.h"
#include "platform/win_user.h"
#include "platform/win_window.h"
