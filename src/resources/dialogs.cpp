// The dialog templates as data: each control with its class, style, id,
// text and place in dialog units, in tab order, as a resource script would
// give them. The texts are the ones players see.

#include "resources/dialogs.h"

#include "platform/win_msgbox.h"

// ---- helpers ----------------------------------------------------------------

// Every control is a visible child; every dialog a centred modal popup in
// the template's font.
#define CTL (WS_CHILD | WS_VISIBLE)
#define DLG_MODAL (DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION)

#define PUSH(id, text, x, y, cx, cy) {DLGC_BUTTON, CTL | WS_TABSTOP | BS_PUSHBUTTON, id, text, x, y, cx, cy}
#define DEFPUSH(id, text, x, y, cx, cy) {DLGC_BUTTON, CTL | WS_TABSTOP | BS_DEFPUSHBUTTON, id, text, x, y, cx, cy}
#define CHECK(id, text, x, y, cx, cy) {DLGC_BUTTON, CTL | WS_TABSTOP | BS_AUTOCHECKBOX, id, text, x, y, cx, cy}
#define GROUP(text, x, y, cx, cy) {DLGC_BUTTON, CTL | BS_GROUPBOX, IDC_STATIC, text, x, y, cx, cy}
#define LTEXT(id, text, x, y, cx, cy) {DLGC_STATIC, CTL | SS_LEFT, id, text, x, y, cx, cy}
#define RTEXT(id, text, x, y, cx, cy) {DLGC_STATIC, CTL | SS_RIGHT, id, text, x, y, cx, cy}
#define CTEXT(id, text, x, y, cx, cy) {DLGC_STATIC, CTL | SS_CENTER, id, text, x, y, cx, cy}
#define EDIT(id, x, y, cx, cy) {DLGC_EDIT, CTL | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, id, "", x, y, cx, cy}
#define DROPLIST(id, x, y, cx, cy) \
  {DLGC_COMBOBOX, CTL | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, id, "", x, y, cx, cy}

#define COUNT(a) (UINT)(sizeof(a) / sizeof((a)[0]))

// ---- About ------------------------------------------------------------------

// The version and date statics are filled in when the dialog starts.
static const DLGCONTROL gc_AboutControls[] = {
    DEFPUSH(IDOK, "OK", 55, 92, 50, 14),
    {DLGC_STATIC, CTL | SS_ICON, IDC_STATIC, "101", 16, 16, 21, 20},
    {DLGC_STATIC, CTL | SS_ETCHEDFRAME, IDC_STATIC, "", 7, 7, 146, 78},
    LTEXT(IDC_STATIC, "Quandrel 3D", 48, 18, 98, 8),
    LTEXT(IDC_ABOUT_VERSION, "Version", 48, 36, 98, 8),
    LTEXT(IDC_ABOUT_DATE, "Date", 48, 50, 98, 8),
};

// ---- Game Options -----------------------------------------------------------

static const DLGCONTROL gc_GameOptionsControls[] = {
    DEFPUSH(IDOK, "OK", 265, 7, 50, 14),
    PUSH(IDCANCEL, "Cancel", 265, 24, 50, 14),
    GROUP("Keys", 7, 7, 161, 131),
    RTEXT(IDC_STATIC, "Left", 15, 20, 47, 8),
    DROPLIST(IDC_KEY_LEFT, 71, 18, 87, 150),
    RTEXT(IDC_STATIC, "Rotate", 15, 40, 47, 8),
    DROPLIST(IDC_KEY_ROTATE, 71, 38, 87, 150),
    RTEXT(IDC_STATIC, "Right", 15, 60, 47, 8),
    DROPLIST(IDC_KEY_RIGHT, 71, 58, 87, 150),
    RTEXT(IDC_STATIC, "Down", 15, 80, 47, 8),
    DROPLIST(IDC_KEY_DOWN, 71, 78, 87, 150),
    RTEXT(IDC_STATIC, "Drop", 15, 100, 47, 8),
    DROPLIST(IDC_KEY_DROP, 71, 98, 87, 150),
    PUSH(IDC_KEYS_DEFAULT, "Default", 53, 116, 50, 14),
    PUSH(IDC_KEYS_ARROWS, "Arrow Keys", 108, 116, 50, 14),
    GROUP("Game Options", 175, 7, 84, 44),
    CHECK(IDC_VIEW_STATS, "Statistics", 185, 21, 44, 10),
    CHECK(IDC_VIEW_NEXT, "View next block", 185, 35, 66, 10),
    RTEXT(IDC_STATIC, "High score file", 7, 146, 46, 8),
    EDIT(IDC_HIGHSCORE_FILE, 57, 143, 203, 14),
    PUSH(IDC_HIGHSCORE_BROWSE, "Browse...", 265, 143, 50, 14),
};

// ---- 3D Rendering Options ---------------------------------------------------

// The two radio buttons are one group; the row burst box starts the next.
static const DLGCONTROL gc_RenderOptionsControls[] = {
    DEFPUSH(IDOK, "OK", 125, 7, 50, 14),
    PUSH(IDCANCEL, "Cancel", 125, 24, 50, 14),
    GROUP("Rendering Engine", 7, 7, 112, 27),
    CHECK(IDC_GOURAUD, "Enable Gouraud shading", 13, 19, 94, 10),
    GROUP("Block Appearence", 7, 37, 112, 58),
    {DLGC_BUTTON, CTL | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, IDC_BLOCKS_DEFAULT, "Default", 13, 51, 39, 10},
    {DLGC_BUTTON, CTL | WS_TABSTOP | BS_AUTORADIOBUTTON, IDC_BLOCKS_SIMPLE, "Simple", 13, 65, 37, 10},
    {DLGC_BUTTON, CTL | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, IDC_ROW_BURST, "\"Row burst\" effect", 13, 79, 75, 10},
};

// ---- High Scores ------------------------------------------------------------

// Row k: rank label, name 1014 + 2k, score 1015 + 2k. The texts are
// placeholders the dialog overwrites.
#define HSROW(k, label, y, labelY)                                        \
  RTEXT(IDC_STATIC, label, 13, labelY, 11, 8),                           \
      LTEXT(IDC_HIGHSCORE_NAME0 + 2 * (k), "Name", 30, y, 203, 8),      \
      RTEXT(IDC_HIGHSCORE_SCORE0 + 2 * (k), "WWWWWWWWWW", 239, y, 74, 8)

static const DLGCONTROL gc_HighScoreControls[] = {
    DEFPUSH(IDOK, "OK", 269, 7, 50, 14),
    PUSH(IDCANCEL, "Cancel", 269, 24, 50, 14),
    EDIT(IDC_HIGHSCORE_NAMEEDIT, 7, 39, 252, 14),
    CTEXT(IDC_HIGHSCORE_MESSAGE, "Score message", 7, 7, 252, 25),
    HSROW(0, "1)", 73, 73),
    HSROW(1, "2)", 88, 88),
    HSROW(2, "3)", 102, 102),
    HSROW(3, "4)", 118, 118),
    HSROW(4, "5)", 133, 133),
    HSROW(5, "6)", 148, 148),
    HSROW(6, "7)", 163, 163),
    HSROW(7, "8)", 177, 178),
    HSROW(8, "9)", 193, 193),
    HSROW(9, "10)", 208, 208),
    GROUP("Top Ten Highscores", 7, 58, 312, 163),
};

// ---- globals ------------------------------------------------------------------

const DLGRESOURCE gc_DialogResources[] = {
    {IDD_ABOUT, DLG_MODAL | WS_SYSMENU, "About Quandrel 3D", "MS Sans Serif", 8, 160, 113, gc_AboutControls,
     COUNT(gc_AboutControls)},
    {IDD_GAMEOPTIONS, DLG_MODAL | WS_SYSMENU, "Game Options", "MS Sans Serif", 8, 322, 164,
     gc_GameOptionsControls, COUNT(gc_GameOptionsControls)},
    {IDD_RENDEROPTIONS, DLG_MODAL | WS_SYSMENU, "3D Rendering Options", "MS Sans Serif", 8, 182,
     102, gc_RenderOptionsControls, COUNT(gc_RenderOptionsControls)},
    {IDD_HIGHSCORES, DLG_MODAL, "Quandrel 3D High Scores", "MS Sans Serif", 8, 326, 228,
     gc_HighScoreControls, COUNT(gc_HighScoreControls)},
};

const UINT gc_uNumDialogResources = COUNT(gc_DialogResources);
