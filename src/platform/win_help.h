// The help viewer: topics of a help file shown in a browser window.
#pragma once

#include <string>

#include "platform/win_types.h"

#define HH_DISPLAY_TOPIC 0x0000u

// Shows the topic named after "::" of "file::/topic.htm" (the first topic
// when none is named) and returns the viewer window; null, showing nothing,
// when the file or the topic cannot be read. Our help file is a plain text
// archive: a first line "QN3D-HELP 1", then each topic as a line
// "== name.htm" followed by its HTML.
HWND HtmlHelpA(HWND hwndCaller, LPCSTR pszFile, UINT uCommand, DWORD_PTR dwData);

// ---- test hooks -----------------------------------------------------------

namespace platform_test {
// The topic the viewer shows ("" when it was never opened) and whether its
// window is visible.
std::string HelpViewerTopic();
bool IsHelpViewerVisible();
// The text (without markup) of the page the viewer shows.
std::string HelpViewerText();
// Closes the viewer and forgets it.
void CloseHelpViewer();
}  // namespace platform_test
