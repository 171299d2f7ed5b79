// Dialog templates as the layer reads them: one record per dialog and one per
// control, with the window styles and dialog-unit positions a resource
// script gives. The game's templates are data tables in src/resources; the
// layer finds them by id, as Win32 finds a dialog in the executable.
#pragma once

#include "platform/win_types.h"

// ---- window and control styles --------------------------------------------

// The windowing layer may declare the window styles as well; the values are
// the same.
#ifndef WS_POPUP
#define WS_POPUP 0x80000000u
#endif
#ifndef WS_CHILD
#define WS_CHILD 0x40000000u
#endif
#ifndef WS_VISIBLE
#define WS_VISIBLE 0x10000000u
#endif
#ifndef WS_CAPTION
#define WS_CAPTION 0x00C00000u
#endif
#ifndef WS_BORDER
#define WS_BORDER 0x00800000u
#endif
#ifndef WS_VSCROLL
#define WS_VSCROLL 0x00200000u
#endif
#ifndef WS_SYSMENU
#define WS_SYSMENU 0x00080000u
#endif
#ifndef WS_GROUP
#define WS_GROUP 0x00020000u
#endif
#ifndef WS_TABSTOP
#define WS_TABSTOP 0x00010000u
#endif

#define DS_SETFONT 0x40u
#define DS_MODALFRAME 0x80u
#define DS_CENTER 0x0800u

#define BS_PUSHBUTTON 0x00000000u
#define BS_DEFPUSHBUTTON 0x00000001u
#define BS_AUTOCHECKBOX 0x00000003u
#define BS_GROUPBOX 0x00000007u
#define BS_AUTORADIOBUTTON 0x00000009u
#define BS_TYPEMASK 0x0000000Fu

#define SS_LEFT 0x00000000u
#define SS_CENTER 0x00000001u
#define SS_RIGHT 0x00000002u
#define SS_ICON 0x00000003u
#define SS_BLACKFRAME 0x00000007u
#define SS_ETCHEDFRAME 0x00000012u
#define SS_TYPEMASK 0x0000001Fu

#define ES_LEFT 0x0000u
#define ES_AUTOHSCROLL 0x0080u

#define CBS_DROPDOWNLIST 0x0003u

// The id of controls that nobody addresses.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// ---- types ----------------------------------------------------------------

// The window class of a control.
enum DLGCLASS { DLGC_BUTTON, DLGC_EDIT, DLGC_STATIC, DLGC_COMBOBOX };

// One control: class, style, id, text (for an icon, the icon's resource id
// as a decimal text), and its place in dialog units.
typedef struct tagDLGCONTROL {
  DLGCLASS cls;
  DWORD style;
  INT id;
  LPCSTR text;
  short x, y, cx, cy;
} DLGCONTROL;

// One dialog: id, style, caption, font, client size in dialog units and
// its controls in tab order.
typedef struct tagDLGRESOURCE {
  INT id;
  DWORD style;
  LPCSTR caption;
  LPCSTR fontFace;
  INT fontPoints;
  short cx, cy;
  const DLGCONTROL* controls;
  UINT numControls;
} DLGRESOURCE;

// ---- globals --------------------------------------------------------------

// The dialogs of the executable, defined with the other resources.
extern const DLGRESOURCE gc_DialogResources[];
extern const UINT gc_uNumDialogResources;

// ---- functions ------------------------------------------------------------

namespace platform {
// The template of the dialog id, or null when the executable has none.
const DLGRESOURCE* FindDialogResource(INT id);
}  // namespace platform
