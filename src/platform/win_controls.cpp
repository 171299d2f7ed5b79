// Dialog controls on Qt widgets: push buttons, check boxes, auto radio
// buttons, group boxes, statics, edits and drop-down lists made from template
// records, and the Win32 functions and messages that work them. Texts cross
// in the 8-bit character set of the A functions.

#include "platform/win_controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QValidator>
#include <algorithm>
#include <cstring>

#include "platform/win_resources_dialog.h"
#include "platform/win_user_internal.h"
#include "platform/win_window.h"

// ---- types ----------------------------------------------------------------

namespace {

const char* const kIdProperty = "win32ControlId";
const char* const kGroupProperty = "win32RadioGroup";
// The bytes the program last put into an edit, and the text they showed as.
const char* const kSetBytesProperty = "win32SetBytes";
const char* const kSetTextProperty = "win32SetText";

// An auto radio button: a click always checks it (never unchecks), and the
// others of its group are unchecked by the click handler, as Win32 does.
// Qt's own exclusivity is off, since it refuses to uncheck the checked
// button of a group, which BM_SETCHECK must be able to do.
class AutoRadioButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  void nextCheckState() override { setChecked(true); }
};

// The text limit of an edit counts bytes of the 8-bit text, as it does for
// an A edit control, so that a full edit still fits the caller's buffer.
class ByteLimitValidator : public QValidator {
 public:
  ByteLimitValidator(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}
  State validate(QString& input, int&) const override {
    return input.toLocal8Bit().size() <= limit_ ? Acceptable : Invalid;
  }
  int limit() const { return limit_; }

 private:
  int limit_;
};

}  // namespace

// ---- helpers --------------------------------------------------------------

namespace {

// The control of a dialog with the id; only the dialog's own controls count.
QWidget* FindControl(HWND hDlg, int id) {
  QWidget* dialog = platform::WidgetOf(hDlg);
  if (dialog == nullptr || id == IDC_STATIC) return nullptr;
  for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (platform::ControlId(child) == id) return child;
  return nullptr;
}

// Copies the text into the buffer, cut to cchMax - 1 bytes without splitting
// a UTF-8 character; returns the bytes copied.
int CopyText(const std::string& text, LPSTR buffer, int cchMax) {
  if (buffer == nullptr || cchMax <= 0) return 0;
  size_t n = std::min(text.size(), (size_t)cchMax - 1);
  if (n < text.size())
    while (n > 0 && ((unsigned char)text[n] & 0xC0) == 0x80) --n;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return (int)n;
}

// A text of the A functions as Qt text; null is empty.
QString FromLocal(LPCSTR text) { return QString::fromLocal8Bit(text != nullptr ? text : ""); }

// Unchecks the other auto radio buttons of the button's group.
void UncheckGroupPeers(QRadioButton* button) {
  QVariant group = button->property(kGroupProperty);
  QWidget* parent = button->parentWidget();
  if (parent == nullptr || !group.isValid()) return;
  for (auto* peer : parent->findChildren<AutoRadioButton*>(Qt::FindDirectChildrenOnly))
    if (peer != button && peer->property(kGroupProperty) == group) peer->setChecked(false);
}

// Combo box messages.
bool ComboMessage(QComboBox* combo, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case CB_ADDSTRING:
      combo->addItem(FromLocal(reinterpret_cast<LPCSTR>(lParam)));
      *result = combo->count() - 1;
      return true;
    case CB_RESETCONTENT:
      combo->clear();
      *result = TRUE;
      return true;
    case CB_GETCOUNT:
      *result = combo->count();
      return true;
    case CB_GETCURSEL:
      *result = combo->currentIndex() >= 0 ? combo->currentIndex() : CB_ERR;
      return true;
    case CB_SETCURSEL: {
      // An index outside the list clears the selection and reports failure.
      int index = (int)(INT_PTR)wParam;
      bool inside = index >= 0 && index < combo->count();
      combo->setCurrentIndex(inside ? index : -1);
      *result = inside ? index : CB_ERR;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

// ---- functions: the layer ---------------------------------------------------

namespace platform {

// Controls carry their template id as a property.
int ControlId(const QWidget* widget) {
  if (widget == nullptr) return IDC_STATIC;
  QVariant id = widget->property(kIdProperty);
  return id.isValid() ? id.toInt() : IDC_STATIC;
}

// The text a player sees: a button's or group's title, a static's or edit's
// contents, a list's selected item, a window's caption.
std::string WindowText(const QWidget* widget) {
  QString text;
  if (auto* button = qobject_cast<const QAbstractButton*>(widget))
    text = button->text();
  else if (auto* edit = qobject_cast<const QLineEdit*>(widget)) {
    // Bytes that are no UTF-8 (a path named in an older encoding) do not
    // come back from Qt's text; untouched, the edit gives them back as set.
    QVariant setText = edit->property(kSetTextProperty);
    if (setText.isValid() && setText.toString() == edit->text())
      return edit->property(kSetBytesProperty).toByteArray().toStdString();
    text = edit->text();
  }
  else if (auto* label = qobject_cast<const QLabel*>(widget))
    text = label->text();
  else if (auto* group = qobject_cast<const QGroupBox*>(widget))
    text = group->title();
  else if (auto* combo = qobject_cast<const QComboBox*>(widget))
    text = combo->currentText();
  else if (widget != nullptr)
    text = widget->windowTitle();
  return text.toLocal8Bit().toStdString();
}

// Button, edit and combo box messages; anything else is not ours.
bool ControlMessage(QWidget* control, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  if (auto* combo = qobject_cast<QComboBox*>(control))
    return ComboMessage(combo, msg, wParam, lParam, result);
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    if (msg == BM_GETCHECK) {
      *result = button->isCheckable() && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
      return true;
    }
    if (msg == BM_SETCHECK) {
      if (button->isCheckable()) button->setChecked(wParam == BST_CHECKED);
      return true;
    }
    return false;
  }
  if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    if (msg != EM_LIMITTEXT) return false;
    // A limit of 0 is the largest limit there is.
    delete edit->validator();
    if (wParam != 0)
      edit->setValidator(new ByteLimitValidator((int)std::min<WPARAM>(wParam, 0x7FFFFFFE), edit));
    return true;
  }
  return false;
}

// Windows rounds the average of the 52 letters' widths half up.
SIZE DialogBaseUnits(const QFont& font) {
  QFontMetrics metrics(font);
  int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return SIZE{(letters / 26 + 1) / 2, metrics.height()};
}

// A quarter of the average letter width per unit, rounded as MulDiv does.
int DialogUnitsToPixelsX(int units, SIZE baseUnits) {
  return (int)(((int64_t)units * baseUnits.cx + (units >= 0 ? 2 : -2)) / 4);
}

// An eighth of the line height per unit, rounded as MulDiv does.
int DialogUnitsToPixelsY(int units, SIZE baseUnits) {
  return (int)(((int64_t)units * baseUnits.cy + (units >= 0 ? 4 : -4)) / 8);
}

// One widget per control class and style; notifications go to the dialog.
QWidget* CreateControl(QWidget* dialog, const DLGCONTROL& item, SIZE baseUnits, int group,
                       ControlNotify notify) {
  QString text = FromLocal(item.text);
  QWidget* widget = nullptr;
  int x = DialogUnitsToPixelsX(item.x, baseUnits), y = DialogUnitsToPixelsY(item.y, baseUnits);
  int cx = DialogUnitsToPixelsX(item.cx, baseUnits), cy = DialogUnitsToPixelsY(item.cy, baseUnits);

  switch (item.cls) {
    case DLGC_BUTTON:
      switch (item.style & BS_TYPEMASK) {
        case BS_GROUPBOX:
          widget = new QGroupBox(text, dialog);
          break;
        case BS_AUTOCHECKBOX: {
          auto* box = new QCheckBox(text, dialog);
          QObject::connect(box, &QAbstractButton::clicked, box,
                           [box, notify] { notify(box, BN_CLICKED); });
          widget = box;
          break;
        }
        case BS_AUTORADIOBUTTON: {
          auto* radio = new AutoRadioButton(text, dialog);
          radio->setAutoExclusive(false);
          radio->setProperty(kGroupProperty, group);
          QObject::connect(radio, &QAbstractButton::clicked, radio, [radio, notify] {
            UncheckGroupPeers(radio);
            notify(radio, BN_CLICKED);
          });
          widget = radio;
          break;
        }
        default: {
          // Enter is the dialog's business, so no button presses itself on
          // Enter unless it is the default one.
          auto* button = new QPushButton(text, dialog);
          button->setAutoDefault(false);
          button->setDefault((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
          QObject::connect(button, &QAbstractButton::clicked, button,
                           [button, notify] { notify(button, BN_CLICKED); });
          widget = button;
          break;
        }
      }
      break;
    case DLGC_EDIT: {
      auto* edit = new QLineEdit(text, dialog);
      edit->setFrame((item.style & WS_BORDER) != 0);
      widget = edit;
      break;
    }
    case DLGC_COMBOBOX: {
      auto* combo = new QComboBox(dialog);
      // The template's height is that of the open list; the closed box is
      // as high as its font needs.
      int line = std::max(1, QFontMetrics(dialog->font()).height() + 2);
      combo->setMaxVisibleItems(std::max(1, cy / line - 1));
      QObject::connect(combo, &QComboBox::activated, combo,
                       [combo, notify](int) { notify(combo, CBN_SELCHANGE); });
      cy = combo->sizeHint().height();
      widget = combo;
      break;
    }
    case DLGC_STATIC:
      switch (item.style & SS_TYPEMASK) {
        case SS_ICON: {
          // The text names the icon resource; an unknown one shows nothing.
          auto* label = new QLabel(dialog);
          const unsigned long id = text.toULong();
          const HICON hIcon = id != 0 ? LoadIconA(nullptr, MAKEINTRESOURCE(id)) : nullptr;
          int side = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
          if (hIcon != nullptr) label->setPixmap(platform::IconOf(hIcon).pixmap(side, side));
          // An icon keeps its own size, as in Win32.
          cx = cy = side;
          widget = label;
          break;
        }
        case SS_BLACKFRAME:
        case SS_ETCHEDFRAME: {
          auto* frame = new QFrame(dialog);
          frame->setFrameStyle((item.style & SS_TYPEMASK) == SS_ETCHEDFRAME
                                   ? (QFrame::Box | QFrame::Sunken)
                                   : (QFrame::Box | QFrame::Plain));
          widget = frame;
          break;
        }
        default: {
          auto* label = new QLabel(text, dialog);
          label->setTextFormat(Qt::PlainText);
          label->setWordWrap(true);
          Qt::Alignment align = Qt::AlignLeft;
          if ((item.style & SS_TYPEMASK) == SS_CENTER) align = Qt::AlignHCenter;
          if ((item.style & SS_TYPEMASK) == SS_RIGHT) align = Qt::AlignRight;
          label->setAlignment(align | Qt::AlignTop);
          widget = label;
          break;
        }
      }
      break;
  }
  if (item.id != IDC_STATIC) widget->setProperty(kIdProperty, item.id);
  widget->setGeometry(x, y, cx, cy);
  if (!(item.style & WS_VISIBLE)) widget->hide();
  return widget;
}

}  // namespace platform

// ---- functions: Win32 -------------------------------------------------------

// Only the dialog's own controls are found, never their inner widgets.
HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
  return platform::HandleOf(FindControl(hDlg, nIDDlgItem));
}

// The caption of a button or group, the contents of an edit or static.
BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  QWidget* control = FindControl(hDlg, nIDDlgItem);
  QString text = FromLocal(lpString);
  if (auto* button = qobject_cast<QAbstractButton*>(control))
    button->setText(text);
  else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(text);  // the typing limit does not apply, as in Win32
    edit->setProperty(kSetBytesProperty, QByteArray(lpString != nullptr ? lpString : ""));
    edit->setProperty(kSetTextProperty, edit->text());
  }
  else if (auto* label = qobject_cast<QLabel*>(control))
    label->setText(text);
  else if (auto* group = qobject_cast<QGroupBox*>(control))
    group->setTitle(text);
  else
    return FALSE;
  return TRUE;
}

// A missing control gives an empty text.
UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
  QWidget* control = FindControl(hDlg, nIDDlgItem);
  if (control == nullptr) {
    if (lpString != nullptr && cchMax > 0) lpString[0] = '\0';
    return 0;
  }
  return (UINT)CopyText(platform::WindowText(control), lpString, cchMax);
}

// A message no control knows, or a missing control, gives 0.
LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  QWidget* control = FindControl(hDlg, nIDDlgItem);
  if (control != nullptr) platform::ControlMessage(control, Msg, wParam, lParam, &result);
  return result;
}

// SW_HIDE hides; every other command shows.
BOOL ShowWindow(HWND hWnd, int nCmdShow) {
  QWidget* widget = platform::WidgetOf(hWnd);
  if (widget == nullptr) return FALSE;
  BOOL wasVisible = !widget->isHidden();
  if (nCmdShow == SW_HIDE) {
    // A hidden control cannot keep the focus; Win32 moves it on as well.
    if (widget->hasFocus() || (widget->window()->focusWidget() == widget)) widget->clearFocus();
    widget->hide();
  } else {
    widget->show();
  }
  return wasVisible;
}

// Before the dialog is shown this chooses the control that gets the focus
// when it appears.
HWND SetFocus(HWND hWnd) {
  QWidget* widget = platform::WidgetOf(hWnd);
  HWND previous = platform::HandleOf(QApplication::focusWidget());
  if (widget != nullptr) widget->setFocus(Qt::OtherFocusReason);
  return previous;
}

// Cut like GetDlgItemTextA; a dead handle gives an empty text.
int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  QWidget* widget = platform::WidgetOf(hWnd);
  if (widget == nullptr) {
    if (lpString != nullptr && nMaxCount > 0) lpString[0] = '\0';
    return 0;
  }
  return CopyText(platform::WindowText(widget), lpString, nMaxCount);
}

// Bytes of the 8-bit text, so that length + 1 bytes hold it whole.
int GetWindowTextLengthA(HWND hWnd) {
  QWidget* widget = platform::WidgetOf(hWnd);
  return widget != nullptr ? (int)platform::WindowText(widget).size() : 0;
}
