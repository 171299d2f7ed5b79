// Message boxes: Qt's modal box, or the test's scripted answer.

#include "platform/win_msgbox.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include "platform/qt_app.h"
#include "platform/win_window.h"

// ---- globals --------------------------------------------------------------

namespace {
std::function<int(const platform_test::MessageBoxCall&)> s_handler;
}

// ---- functions ------------------------------------------------------------

// Shows the box modally; the nested event loop runs until a button is pressed.
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  platform_test::MessageBoxCall call{hWnd, lpText ? lpText : "", lpCaption ? lpCaption : "Error",
                                     uType};
  if (s_handler) return s_handler(call);

  platform::EnsureApplication();
  QMessageBox box(platform::WidgetOf(hWnd));
  box.setWindowTitle(QString::fromLocal8Bit(call.caption.c_str()));
  box.setText(QString::fromLocal8Bit(call.text.c_str()));
  switch (uType & 0xF0u) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  struct Choice {
    QMessageBox::StandardButton button;
    int id;
  };
  Choice choices[3];
  int count = 0;
  switch (uType & 0x0Fu) {
    case MB_OKCANCEL:
      choices[count++] = {QMessageBox::Ok, IDOK};
      choices[count++] = {QMessageBox::Cancel, IDCANCEL};
      break;
    case MB_YESNOCANCEL:
      choices[count++] = {QMessageBox::Yes, IDYES};
      choices[count++] = {QMessageBox::No, IDNO};
      choices[count++] = {QMessageBox::Cancel, IDCANCEL};
      break;
    case MB_YESNO:
      choices[count++] = {QMessageBox::Yes, IDYES};
      choices[count++] = {QMessageBox::No, IDNO};
      break;
    default:
      choices[count++] = {QMessageBox::Ok, IDOK};
      break;
  }
  QMessageBox::StandardButtons buttons;
  for (int i = 0; i < count; ++i) buttons |= choices[i].button;
  box.setStandardButtons(buttons);
  int defaultIndex = (uType & MB_DEFBUTTON2) && count > 1 ? 1 : 0;
  box.setDefaultButton(choices[defaultIndex].button);
  int pressed = box.exec();
  platform::ReactivateOwner(hWnd);
  for (int i = 0; i < count; ++i)
    if (pressed == choices[i].button) return choices[i].id;
  // Closed without a button (Escape or the close box): Cancel, or No, or OK.
  for (int i = 0; i < count; ++i)
    if (choices[i].id == IDCANCEL) return IDCANCEL;
  return choices[count - 1].id;
}

namespace platform_test {
// Installs or removes the scripted answer.
void SetMessageBoxHandler(std::function<int(const MessageBoxCall&)> handler) {
  s_handler = std::move(handler);
}
}  // namespace platform_test
