// Menus on Qt: a window's menu bar is made from its menu resource as a
// QMenuBar with QMenus and QActions; opening, highlighting and choosing send
// the window the messages of a menu loop. The text after a tab in an item is
// only shown as its shortcut: the keys themselves are the accelerator table's.

#include "platform/win_menu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_resources.h"
#include "platform/win_user_internal.h"

// ---- types ----------------------------------------------------------------

// A menu bar or a popup menu with its items in order.
struct HMENU__ {
  struct Item {
    UINT id;
    UINT flags;
    QPointer<QAction> action;
    HMENU sub;
  };
  HWND owner = nullptr;
  QPointer<QMenuBar> bar;
  QPointer<QMenu> menu;
  HMENU parent = nullptr;
  int position = 0;  // place in the parent
  std::vector<Item> items;
};

namespace {

// The menus of one window and whether its menu loop runs.
struct MenuSet {
  std::vector<std::unique_ptr<HMENU__>> menus;
  bool inLoop = false;
};

// ---- globals --------------------------------------------------------------

std::map<HWND, MenuSet>& Sets() {
  static std::map<HWND, MenuSet> sets;
  return sets;
}

// ---- functions: the menu loop ---------------------------------------------

MenuSet* SetOf(HWND owner) {
  auto it = Sets().find(owner);
  return it != Sets().end() ? &it->second : nullptr;
}

// The loop begins with the first menu opened.
void EnterLoop(HWND owner) {
  MenuSet* set = SetOf(owner);
  if (set == nullptr || set->inLoop) return;
  set->inLoop = true;
  SendMessageA(owner, WM_ENTERMENULOOP, FALSE, 0);
}

// The loop ends: the window hears that no item is highlighted any more, then
// that the loop is over.
void EndLoop(HWND owner) {
  MenuSet* set = SetOf(owner);
  if (set == nullptr || !set->inLoop) return;
  set->inLoop = false;
  SendMessageA(owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  SendMessageA(owner, WM_EXITMENULOOP, FALSE, 0);
}

// A popup opens: the loop begins if it has not, the title is highlighted,
// and the window may set the popup's items.
void PopupOpens(HMENU sub) {
  HWND owner = sub->owner;
  EnterLoop(owner);
  SendMessageA(owner, WM_MENUSELECT, MAKEWPARAM(sub->position, MF_POPUP | MF_HILITE), (LPARAM)sub->parent);
  SendMessageA(owner, WM_INITMENUPOPUP, (WPARAM)sub, MAKELPARAM(sub->position, FALSE));
}

// A popup closes. Going from one menu bar title to the next closes one popup
// before the next opens, so the loop ends only when, once Qt is done, no menu
// is open.
void PopupCloses(HWND owner) {
  QTimer::singleShot(0, qApp, [owner] {
    if (QApplication::activePopupWidget() == nullptr) EndLoop(owner);
  });
}

// An item (or a submenu title, by position) is highlighted.
void Highlight(HMENU menu, UINT idOrPosition, UINT flags) {
  MenuSet* set = SetOf(menu->owner);
  if (set == nullptr || !set->inLoop) return;
  SendMessageA(menu->owner, WM_MENUSELECT, MAKEWPARAM(idOrPosition, flags | MF_HILITE), (LPARAM)menu);
}

// An item is chosen: the loop ends and the command waits in the queue.
void Choose(HWND owner, UINT id) {
  EndLoop(owner);
  platform::PostMessageTo(owner, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// ---- functions: building --------------------------------------------------

// Adds the template's items from i on to the menu, up to the end of their
// level; gives the index after them.
size_t Build(HMENU__* m, const platform::MenuItemTemplate* t, size_t i, size_t n, MenuSet& set) {
  while (i < n) {
    const platform::MenuItemTemplate& item = t[i++];
    const QString text = QString::fromLocal8Bit(item.text ? item.text : "");
    if (item.flags & MF_POPUP) {
      auto sub = std::make_unique<HMENU__>();
      HMENU__* s = sub.get();
      set.menus.push_back(std::move(sub));
      s->owner = m->owner;
      s->parent = m;
      s->position = (int)m->items.size();
      s->menu = new QMenu(text, m->bar ? static_cast<QWidget*>(m->bar.data()) : m->menu.data());
      QAction* a = m->bar ? m->bar->addMenu(s->menu) : m->menu->addMenu(s->menu);
      m->items.push_back({(UINT)-1, item.flags & ~MF_END, a, s});
      i = Build(s, t, i, n, set);
      QObject::connect(s->menu, &QMenu::aboutToShow, s->menu, [s] { PopupOpens(s); });
      QObject::connect(s->menu, &QMenu::aboutToHide, s->menu, [s] { PopupCloses(s->owner); });
      if (m->menu)
        QObject::connect(a, &QAction::hovered, a, [m, s] { Highlight(m, (UINT)s->position, MF_POPUP); });
    } else if (item.flags & MF_SEPARATOR) {
      QAction* a = m->menu ? m->menu->addSeparator() : nullptr;
      m->items.push_back({0, MF_SEPARATOR, a, nullptr});
    } else if (m->menu) {
      QAction* a = m->menu->addAction(text);
      const UINT id = item.id;
      HWND owner = m->owner;
      m->items.push_back({id, item.flags & ~MF_END, a, nullptr});
      QObject::connect(a, &QAction::hovered, a, [m, id] { Highlight(m, id, 0); });
      QObject::connect(a, &QAction::triggered, a, [owner, id] { Choose(owner, id); });
    }
    if (item.flags & MF_END) break;
  }
  return i;
}

// The item with the command id in the menu or its submenus.
HMENU__::Item* FindById(HMENU menu, UINT id, HMENU* holder = nullptr) {
  if (menu == nullptr) return nullptr;
  for (HMENU__::Item& item : menu->items) {
    if (item.sub != nullptr) {
      if (HMENU__::Item* found = FindById(item.sub, id, holder)) return found;
    } else if (item.id == id && !(item.flags & MF_SEPARATOR)) {
      if (holder != nullptr) *holder = menu;
      return &item;
    }
  }
  return nullptr;
}

// Whether the handle is a live menu.
bool IsMenu(HMENU menu) {
  if (menu == nullptr) return false;
  for (auto& entry : Sets())
    for (auto& m : entry.second.menus)
      if (m.get() == menu) return true;
  return false;
}

}  // namespace

// ---- functions: the layer's shared parts ------------------------------------

namespace platform {

// The menu bar and its popups from the template.
HMENU CreateMenuBar(HWND owner, UINT resourceId, QWidget* parent) {
  size_t count = 0;
  const MenuItemTemplate* t = FindMenuTemplate(resourceId, &count);
  if (t == nullptr) return nullptr;
  MenuSet& set = Sets()[owner];
  auto bar = std::make_unique<HMENU__>();
  HMENU__* b = bar.get();
  set.menus.push_back(std::move(bar));
  b->owner = owner;
  b->bar = new QMenuBar(parent);
  b->bar->setNativeMenuBar(false);
  size_t i = 0;
  while (i < count) i = Build(b, t, i, count, set);
  return b;
}

QMenuBar* MenuBarWidget(HMENU hMenu) { return hMenu != nullptr ? hMenu->bar.data() : nullptr; }

// The menu records go; the widgets go with their window.
void ForgetMenus(HWND owner) { Sets().erase(owner); }

}  // namespace platform

// ---- functions: menu calls ------------------------------------------------------

int GetMenuItemCount(HMENU hMenu) { return IsMenu(hMenu) ? (int)hMenu->items.size() : -1; }

// Command id of the item at the position; -1 for a submenu or no item.
UINT GetMenuItemID(HMENU hMenu, int nPos) {
  if (!IsMenu(hMenu) || nPos < 0 || nPos >= (int)hMenu->items.size()) return (UINT)-1;
  const HMENU__::Item& item = hMenu->items[(size_t)nPos];
  if (item.sub != nullptr) return (UINT)-1;
  return item.id;
}

// Sets the check and enabled state of an item, by position or command id.
BOOL SetMenuItemInfoA(HMENU hMenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOA lpmii) {
  if (!IsMenu(hMenu) || lpmii == nullptr) return FALSE;
  HMENU__::Item* found = nullptr;
  if (fByPosition) {
    if (item < hMenu->items.size()) found = &hMenu->items[item];
  } else {
    found = FindById(hMenu, item);
  }
  if (found == nullptr || found->action == nullptr) return FALSE;
  if (lpmii->fMask & MIIM_STATE) {
    found->action->setCheckable(true);
    found->action->setChecked((lpmii->fState & MFS_CHECKED) != 0);
    found->action->setEnabled((lpmii->fState & (MF_GRAYED | MF_DISABLED)) == 0);
  }
  return TRUE;
}

// The menu bar of the window, or null.
HMENU GetMenu(HWND hWnd) {
  platform::WindowData* d = platform::DataOf(hWnd);
  return d != nullptr ? d->menu : nullptr;
}

// ---- test hooks -------------------------------------------------------------------

namespace platform_test {

// A click on the menu bar title at the position.
void OpenMenu(HWND hWnd, int nTopPosition) {
  HMENU bar = GetMenu(hWnd);
  if (bar == nullptr || nTopPosition < 0 || nTopPosition >= (int)bar->items.size()) return;
  HMENU__::Item& item = bar->items[(size_t)nTopPosition];
  if (item.sub == nullptr || item.sub->menu == nullptr) return;
  // Opened as the bar opens it, so that Qt sees the same popup.
  item.sub->menu->popup(bar->bar->mapToGlobal(QPoint(0, bar->bar->height())));
  QCoreApplication::processEvents();
}

// Highlights an item, or the title of the submenu that holds it.
void HighlightMenuItem(HWND hWnd, UINT id, bool bySubmenuTitle) {
  HMENU holder = nullptr;
  HMENU__::Item* item = FindById(GetMenu(hWnd), id, &holder);
  if (item == nullptr) return;
  if (!bySubmenuTitle) {
    if (item->action) item->action->hover();
    return;
  }
  if (holder != nullptr && holder->parent != nullptr) {
    HMENU__::Item& title = holder->parent->items[(size_t)holder->position];
    if (title.action) title.action->hover();
  }
}

// A click on the item.
void ChooseMenuItem(HWND hWnd, UINT id) {
  HMENU__::Item* item = FindById(GetMenu(hWnd), id);
  if (item == nullptr || item->action == nullptr) return;
  item->action->trigger();
  CloseMenus();
}

// Escape until nothing is open.
void CloseMenus() {
  for (int i = 0; i < 16 && QApplication::activePopupWidget() != nullptr; ++i)
    QApplication::activePopupWidget()->close();
  QCoreApplication::processEvents();
}

// Whether the item shows its check mark.
bool IsMenuItemChecked(HWND hWnd, UINT id) {
  HMENU__::Item* item = FindById(GetMenu(hWnd), id);
  return item != nullptr && item->action != nullptr && item->action->isChecked();
}

// The item's text as the menu shows it.
const char* MenuItemText(HWND hWnd, UINT id) {
  static std::string s_Text;
  HMENU__::Item* item = FindById(GetMenu(hWnd), id);
  s_Text = (item != nullptr && item->action != nullptr) ? item->action->text().toStdString() : std::string();
  return s_Text.c_str();
}

}  // namespace platform_test
