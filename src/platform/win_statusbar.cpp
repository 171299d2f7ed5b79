// The common controls on Qt: their initialisation and the status bar, a
// widget that draws its parts itself (sunken boxes unless told to draw none)
// with a size grip at the right end.

#include "platform/win_commctrl.h"

#include <QPainter>
#include <QSizeGrip>
#include <QWidget>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win_gdi.h"
#include "platform/win_user_internal.h"

// ---- types ----------------------------------------------------------------

namespace {

// One part: its right edge, text and drawing flags.
struct Part {
  int right = -1;
  std::string text;
  UINT flags = 0;
};

// The status bar widget.
class StatusBar : public QWidget {
 public:
  explicit StatusBar(QWidget* parent) : QWidget(parent), grip(new QSizeGrip(this)) {
    setFocusPolicy(Qt::NoFocus);
    parts.resize(1);
  }
  std::vector<Part> parts;
  QSizeGrip* grip;

  // The bar's height: a line of the GUI font with a margin.
  int BarHeight() const { return QFontMetrics(platform::StockFont(DEFAULT_GUI_FONT)).height() + 8; }

 protected:
  void resizeEvent(QResizeEvent*) override {
    QSize hint = grip->sizeHint();
    grip->setGeometry(width() - hint.width(), height() - hint.height(), hint.width(), hint.height());
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(212, 208, 200));
    p.setFont(platform::StockFont(DEFAULT_GUI_FONT));
    int left = 0;
    for (const Part& part : parts) {
      int right = part.right < 0 ? width() : std::min(part.right, width());
      QRect box(left, 2, std::max(0, right - left - 2), height() - 2);
      if (!(part.flags & SBT_NOBORDERS)) {
        p.setPen(QColor(128, 128, 128));
        p.drawLine(box.topLeft(), box.topRight());
        p.drawLine(box.topLeft(), box.bottomLeft());
        p.setPen(QColor(255, 255, 255));
        p.drawLine(box.bottomLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomRight());
      }
      p.setPen(QColor(0, 0, 0));
      p.drawText(box.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                 QString::fromLocal8Bit(part.text.c_str()));
      left = right;
    }
  }
};

// The status bar of a handle, or null.
StatusBar* BarOf(HWND hWnd) { return dynamic_cast<StatusBar*>(platform::WidgetOf(hWnd)); }

}  // namespace

// ---- functions: the layer's shared parts ------------------------------------

namespace platform {

QWidget* CreateStatusBarWidget(QWidget* parent) { return new StatusBar(parent); }

// Parts, texts, font and the lay-out at the parent's bottom edge.
LRESULT CALLBACK StatusBarProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  StatusBar* bar = BarOf(hWnd);
  if (bar == nullptr) return 0;
  switch (msg) {
    case WM_SIZE: {
      QWidget* parent = bar->parentWidget();
      if (parent == nullptr) return 0;
      int h = bar->BarHeight();
      bar->setGeometry(0, std::max(0, parent->height() - h), parent->width(), h);
      bar->raise();
      return 0;
    }
    case SB_SETPARTS: {
      int n = (int)wParam;
      const int* edges = reinterpret_cast<const int*>(lParam);
      if (n < 1 || n > 256 || edges == nullptr) return FALSE;
      bar->parts.resize((size_t)n);
      for (int i = 0; i < n; ++i) bar->parts[(size_t)i].right = edges[i];
      bar->update();
      return TRUE;
    }
    case SB_SETTEXTA: {
      size_t i = wParam & 0xFF;
      if (i >= bar->parts.size()) return FALSE;
      const char* text = reinterpret_cast<const char*>(lParam);
      bar->parts[i].text = text != nullptr ? text : "";
      bar->parts[i].flags = (UINT)(wParam & 0xFF00);
      bar->update();
      return TRUE;
    }
    case WM_GETFONT: return (LRESULT)GetStockObject(DEFAULT_GUI_FONT);
    default: return 0;
  }
}

}  // namespace platform

// ---- functions: common controls ---------------------------------------------------

// The common controls need nothing set up on Qt; the record is still checked.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
  return picce != nullptr && picce->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}

// A child of the status bar class; the window layer makes its widget.
HWND CreateStatusWindowA(LONG style, LPCSTR lpszText, HWND hwndParent, UINT wID) {
  HWND hwnd = CreateWindowExA(0, STATUSCLASSNAMEA, lpszText, (DWORD)style, 0, 0, 0, 0, hwndParent,
                              (HMENU)(uintptr_t)wID, nullptr, nullptr);
  if (hwnd == nullptr) return nullptr;
  SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, 0);
  if (lpszText != nullptr) SendMessageA(hwnd, SB_SETTEXTA, 0, (LPARAM)lpszText);
  return hwnd;
}

// ---- test hooks -------------------------------------------------------------------

namespace platform_test {

// The text of a part of the bar.
std::string StatusBarText(HWND hWnd, int nPart) {
  StatusBar* bar = BarOf(hWnd);
  if (bar == nullptr || nPart < 0 || (size_t)nPart >= bar->parts.size()) return std::string();
  return bar->parts[(size_t)nPart].text;
}

// Whether a part shows without its border.
bool StatusBarPartBorderless(HWND hWnd, int nPart) {
  StatusBar* bar = BarOf(hWnd);
  if (bar == nullptr || nPart < 0 || (size_t)nPart >= bar->parts.size()) return false;
  return (bar->parts[(size_t)nPart].flags & SBT_NOBORDERS) != 0;
}

// The right edges of the parts, as last set.
std::vector<int> StatusBarParts(HWND hWnd) {
  std::vector<int> edges;
  if (StatusBar* bar = BarOf(hWnd))
    for (const Part& part : bar->parts) edges.push_back(part.right);
  return edges;
}

}  // namespace platform_test
