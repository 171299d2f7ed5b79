// Modal dialogs: a template becomes a QDialog with its controls at the
// template's places, run in Qt's nested loop. The dialog procedure gets
// WM_INITDIALOG with the caller's parameter, then WM_COMMAND for clicks,
// list choices, Enter (the default button), Escape and the close box (both
// IDCANCEL), until it calls EndDialog. Also the common open-file dialog.

#include "platform/win_dialog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "platform/qt_app.h"
#include "platform/win_msgbox.h"
#include "platform/win_resources_dialog.h"
#include "platform/win_window.h"

// ---- types ----------------------------------------------------------------

namespace {

// A running modal dialog and its procedure.
class DialogWindow : public QDialog {
 public:
  DialogWindow(QWidget* owner, DLGPROC proc) : QDialog(owner), proc_(proc) {}

  // The handle the procedure knows the dialog by.
  void SetHandle(HWND hDlg) { handle_ = hDlg; }
  // The button Enter presses when no push button has the focus.
  void SetDefaultId(int id) { defaultId_ = id; }
  // Whether EndDialog has been called, and with what.
  bool Ended() const { return ended_; }
  INT_PTR Result() const { return result_; }

  // WM_COMMAND as a control sends it; nothing reaches an ended dialog.
  void Command(int id, int code, QWidget* control) {
    if (ended_) return;
    proc_(handle_, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)platform::HandleOf(control));
  }

  // Runs the nested loop unless the dialog ended while it started.
  void Run() {
    if (ended_) return;
    running_ = true;
    exec();
    running_ = false;
  }

  // Records the result; the nested loop ends once control returns to it.
  void End(INT_PTR result) {
    result_ = result;
    if (ended_) return;
    ended_ = true;
    if (running_) done(0);
  }

  // The dialog's control with the id, or null.
  QWidget* Control(int id) const {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (platform::ControlId(child) == id) return child;
    return nullptr;
  }

 protected:
  // Enter presses the focused push button, else the default one; Escape is
  // IDCANCEL whether or not there is a Cancel button.
  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Escape:
        event->accept();
        Command(IDCANCEL, BN_CLICKED, Control(IDCANCEL));
        return;
      case Qt::Key_Return:
      case Qt::Key_Enter: {
        event->accept();
        int id = defaultId_;
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        if (focused != nullptr && platform::ControlId(focused) != IDC_STATIC)
          id = platform::ControlId(focused);
        QWidget* control = Control(id);
        if (control != nullptr && (control->isHidden() || !control->isEnabled())) return;
        Command(id, BN_CLICKED, control);
        return;
      }
      default:
        QWidget::keyPressEvent(event);
        return;
    }
  }

  // The close box asks the procedure with IDCANCEL; only EndDialog closes.
  void closeEvent(QCloseEvent* event) override {
    if (ended_) {
      QDialog::closeEvent(event);
      return;
    }
    event->ignore();
    Command(IDCANCEL, BN_CLICKED, Control(IDCANCEL));
  }

  // Qt's own ways of rejecting a dialog are IDCANCEL as well.
  void reject() override {
    if (ended_)
      QDialog::reject();
    else
      Command(IDCANCEL, BN_CLICKED, Control(IDCANCEL));
  }

 private:
  DLGPROC proc_;
  HWND handle_ = nullptr;
  int defaultId_ = IDOK;
  bool running_ = false;
  bool ended_ = false;
  INT_PTR result_ = 0;
};

}  // namespace

// ---- globals --------------------------------------------------------------

namespace {
std::function<INT_PTR(const platform_test::DialogCall&)> s_handler;
std::function<void(HWND, int)> s_script;
std::function<std::optional<std::string>(const platform_test::OpenFileCall&)> s_fileHandler;
}  // namespace

// ---- helpers --------------------------------------------------------------

namespace {

// The running dialog of a handle, or null.
DialogWindow* DialogOf(HWND hDlg) { return dynamic_cast<DialogWindow*>(platform::WidgetOf(hDlg)); }

// Builds the controls in template order; the first visible tab stop is the
// control WM_INITDIALOG names.
QWidget* BuildDialog(DialogWindow& dialog, const DLGRESOURCE& res) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (res.style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  dialog.setWindowFlags(flags);
  dialog.setWindowTitle(QString::fromLocal8Bit(res.caption != nullptr ? res.caption : ""));
  if (res.fontFace != nullptr)
    dialog.setFont(QFont(QString::fromLatin1(res.fontFace), res.fontPoints));
  SIZE base = platform::DialogBaseUnits(dialog.font());
  dialog.setFixedSize(platform::DialogUnitsToPixelsX(res.cx, base),
                      platform::DialogUnitsToPixelsY(res.cy, base));

  QWidget* first = nullptr;
  int group = 0;
  for (UINT i = 0; i < res.numControls; ++i) {
    const DLGCONTROL& item = res.controls[i];
    if (item.style & WS_GROUP) ++group;
    if (item.cls == DLGC_BUTTON && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
      dialog.SetDefaultId(item.id);
    QWidget* control = platform::CreateControl(
        &dialog, item, base, group,
        [&dialog](QWidget* c, int code) { dialog.Command(platform::ControlId(c), code, c); });
    if (first == nullptr && (item.style & WS_TABSTOP) && !control->isHidden()) first = control;
  }
  // Frames and group boxes lie under the controls they surround.
  for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (qobject_cast<QGroupBox*>(child) != nullptr ||
        QString(child->metaObject()->className()) == "QFrame")
      child->lower();
  return first;
}

// Qt's form of an open-file filter: "Description (patterns)". "*.*" means
// every file, with or without a dot.
QStringList QtNameFilters(const std::vector<std::pair<std::string, std::string>>& filters) {
  QStringList result;
  for (const auto& [description, patterns] : filters) {
    QStringList list = QString::fromLocal8Bit(patterns).split(';', Qt::SkipEmptyParts);
    for (QString& p : list) {
      p = p.trimmed();
      if (p == "*.*") p = "*";
    }
    result << QString("%1 (%2)").arg(QString::fromLocal8Bit(description), list.join(' '));
  }
  return result;
}

// The player's choice in Qt's file dialog, asked again while it cannot be
// returned under the flags.
std::optional<std::string> RunFileDialog(const platform_test::OpenFileCall& call,
                                         LPCSTR initialDir) {
  platform::EnsureApplication();
  QWidget* owner = platform::WidgetOf(call.owner);
  QFileDialog dialog(owner != nullptr ? owner->window() : nullptr,
                     QString::fromLocal8Bit(call.title));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  if (!call.filters.empty()) dialog.setNameFilters(QtNameFilters(call.filters));
  if (!call.initialFile.empty()) {
    QFileInfo info(QString::fromLocal8Bit(call.initialFile));
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
  } else if (initialDir != nullptr) {
    dialog.setDirectory(QString::fromLocal8Bit(initialDir));
  }
  while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    std::string path = dialog.selectedFiles().first().toLocal8Bit().toStdString();
    std::string why = platform::CheckChosenFile(path, call.flags);
    if (why.empty()) return path;
    QMessageBox::warning(&dialog, dialog.windowTitle(), QString::fromLocal8Bit(why));
  }
  return std::nullopt;
}

}  // namespace

// ---- functions: the layer ---------------------------------------------------

namespace platform {

// Looks through the executable's dialog table.
const DLGRESOURCE* FindDialogResource(INT id) {
  for (UINT i = 0; i < gc_uNumDialogResources; ++i)
    if (gc_DialogResources[i].id == id) return &gc_DialogResources[i];
  return nullptr;
}

// Reads pairs up to the empty string that ends the list.
std::vector<std::pair<std::string, std::string>> ParseFileFilter(LPCSTR lpstrFilter) {
  std::vector<std::pair<std::string, std::string>> filters;
  if (lpstrFilter == nullptr) return filters;
  const char* p = lpstrFilter;
  while (*p != '\0') {
    std::string description = p;
    p += description.size() + 1;
    if (*p == '\0') break;  // a description without patterns ends the list
    std::string patterns = p;
    p += patterns.size() + 1;
    filters.emplace_back(description, patterns);
  }
  return filters;
}

// The folder must exist with OFN_PATHMUSTEXIST; with OFN_NOREADONLYRETURN an
// existing file must be writable. A folder is never a file to return.
std::string CheckChosenFile(const std::string& path, DWORD flags) {
  struct stat st;
  bool exists = stat(path.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return "\"" + path + "\" is a folder, not a file.";
  if (flags & OFN_PATHMUSTEXIST) {
    size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    struct stat dir;
    if (stat(folder.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode))
      return "The folder \"" + folder + "\" does not exist.";
  }
  if ((flags & OFN_NOREADONLYRETURN) && exists && access(path.c_str(), W_OK) != 0)
    return "\"" + path + "\" is read-only. Please choose another file.";
  return std::string();
}

}  // namespace platform

// ---- functions: Win32 -------------------------------------------------------

// Builds the dialog, sends WM_INITDIALOG, then runs the nested loop until
// the procedure calls EndDialog. The scripted replacement comes first.
INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam) {
  int id = (int)(uintptr_t)lpTemplateName;
  platform_test::DialogCall call{id, hWndParent, lpDialogFunc, dwInitParam};
  if (s_handler) return s_handler(call);

  const DLGRESOURCE* res = platform::FindDialogResource(id);
  if (res == nullptr || lpDialogFunc == nullptr) return -1;
  platform::EnsureApplication();
  QWidget* owner = platform::WidgetOf(hWndParent);
  // On the heap, as its owner deletes it should the owner go first.
  QPointer<DialogWindow> dialog =
      new DialogWindow(owner != nullptr ? owner->window() : nullptr, lpDialogFunc);
  HWND hDlg = platform::HandleOf(dialog);
  dialog->SetHandle(hDlg);
  QWidget* first = BuildDialog(*dialog, *res);

  // TRUE asks the dialog manager to focus the first tab stop.
  HWND hFirst = platform::HandleOf(first);
  if (lpDialogFunc(hDlg, WM_INITDIALOG, (WPARAM)hFirst, dwInitParam) && first != nullptr &&
      dialog != nullptr)
    first->setFocus(Qt::OtherFocusReason);
  if (dialog == nullptr) return -1;

  if (s_script) {
    auto script = s_script;
    DialogWindow* running = dialog;
    QTimer::singleShot(0, running, [script, hDlg, id, running] {
      script(hDlg, id);
      if (DialogOf(hDlg) == running && !running->Ended()) running->End(-1);
    });
  }
  dialog->Run();
  platform::ReactivateOwner(hWndParent);
  if (dialog == nullptr) return -1;
  INT_PTR result = dialog->Result();
  delete dialog.data();
  return result;
}

// FALSE for a handle that names no running dialog.
BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
  DialogWindow* dialog = DialogOf(hDlg);
  if (dialog == nullptr) return FALSE;
  dialog->End(nResult);
  return TRUE;
}

// Asks the player (or the scripted answer) and fills the buffer and the
// offsets of the name and its extension.
BOOL GetOpenFileNameA(LPOPENFILENAMEA lpofn) {
  if (lpofn == nullptr || lpofn->lpstrFile == nullptr || lpofn->nMaxFile == 0) return FALSE;
  platform_test::OpenFileCall call;
  call.owner = lpofn->hwndOwner;
  call.title = lpofn->lpstrTitle != nullptr ? lpofn->lpstrTitle : "Open";
  call.initialFile.assign(lpofn->lpstrFile, strnlen(lpofn->lpstrFile, lpofn->nMaxFile));
  call.filters = platform::ParseFileFilter(lpofn->lpstrFilter);
  call.flags = lpofn->Flags;

  std::optional<std::string> answer =
      s_fileHandler ? s_fileHandler(call) : RunFileDialog(call, lpofn->lpstrInitialDir);
  // A path longer than the buffer is refused whole, never cut.
  if (!answer || answer->empty() || answer->size() >= lpofn->nMaxFile) return FALSE;
  std::memcpy(lpofn->lpstrFile, answer->c_str(), answer->size() + 1);
  size_t slash = answer->find_last_of('/');
  size_t name = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = answer->find_last_of('.');
  lpofn->nFileOffset = (WORD)name;
  lpofn->nFileExtension =
      (WORD)(dot != std::string::npos && dot >= name ? dot + 1 : answer->size());
  return TRUE;
}

// ---- test hooks -------------------------------------------------------------

namespace platform_test {

// Installs or removes the replacement of every dialog.
void SetDialogHandler(std::function<INT_PTR(const DialogCall&)> handler) {
  s_handler = std::move(handler);
}

// Installs or removes the script played inside every dialog.
void SetDialogScript(std::function<void(HWND hDlg, int templateId)> script) {
  s_script = std::move(script);
}

// The control a player could reach: there, shown and enabled.
static QWidget* ReachableControl(HWND hDlg, int id) {
  DialogWindow* dialog = DialogOf(hDlg);
  QWidget* control = dialog != nullptr ? dialog->Control(id) : nullptr;
  if (control == nullptr || control->isHidden() || !control->isEnabled()) return nullptr;
  return control;
}

// A mouse click: the button toggles or checks itself, then notifies.
bool ClickDlgItem(HWND hDlg, int id) {
  auto* button = qobject_cast<QAbstractButton*>(ReachableControl(hDlg, id));
  if (button == nullptr) return false;
  button->click();
  return true;
}

// A choice from the open list, which notifies as the player's does.
bool PickDlgItem(HWND hDlg, int id, int index) {
  auto* combo = qobject_cast<QComboBox*>(ReachableControl(hDlg, id));
  if (combo == nullptr || index < 0 || index >= combo->count()) return false;
  combo->setCurrentIndex(index);
  emit combo->activated(index);
  return true;
}

// Selects the whole text and types over it.
bool TypeDlgItem(HWND hDlg, int id, const std::string& text) {
  auto* edit = qobject_cast<QLineEdit*>(ReachableControl(hDlg, id));
  if (edit == nullptr) return false;
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
  if (text.empty()) edit->del();
  // One key press per character, so that the edit's limit applies.
  for (QChar ch : QString::fromLocal8Bit(text)) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(edit, &press);
    QApplication::sendEvent(edit, &release);
  }
  return true;
}

// The key goes to the focused control and on to the dialog if unused.
void PressDlgKey(HWND hDlg, int qtKey) {
  DialogWindow* dialog = DialogOf(hDlg);
  if (dialog == nullptr) return;
  QWidget* target = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
  QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QApplication::sendEvent(target, &release);
}

// As the close box does: a close request the procedure may refuse.
void CloseDlg(HWND hDlg) {
  if (DialogWindow* dialog = DialogOf(hDlg)) dialog->close();
}

// A handle that names no dialog any more counts as ended.
bool DialogEnded(HWND hDlg) {
  DialogWindow* dialog = DialogOf(hDlg);
  return dialog == nullptr || dialog->Ended();
}

// The dialog's focus child, which takes the focus once it is active.
int FocusedDlgItem(HWND hDlg) {
  DialogWindow* dialog = DialogOf(hDlg);
  return dialog != nullptr ? platform::ControlId(dialog->focusWidget()) : IDC_STATIC;
}

// Hidden by the template or by ShowWindow counts as not shown.
bool IsDlgItemShown(HWND hDlg, int id) {
  DialogWindow* dialog = DialogOf(hDlg);
  QWidget* control = dialog != nullptr ? dialog->Control(id) : nullptr;
  return control != nullptr && !control->isHidden();
}

// Installs or removes the scripted answer of the open-file dialog.
void SetOpenFileHandler(std::function<std::optional<std::string>(const OpenFileCall&)> handler) {
  s_fileHandler = std::move(handler);
}

}  // namespace platform_test
