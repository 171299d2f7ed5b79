// Bookkeeping shared by the DirectDraw/Direct3D objects: call counts, injected
// failures, live objects, the display depth, and where a blit to the primary
// surface goes (the window layer's receiver, or an off-screen target that
// tests read).

#include <QImage>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "platform/dx_internal.h"

// ---- globals --------------------------------------------------------------

namespace {

struct PendingFailure {
  int nth;  // calls of that name still to let through, plus one
  HRESULT code;
};

struct HookState {
  std::vector<dx::CallSite*> sites;
  uint64_t totalCalls = 0;
  std::multimap<std::string, PendingFailure> failures;
  DWORD displayBits = 32;
  int liveObjects = 0;
  std::vector<dx::SurfaceObj*> surfaces;
  platform::PresentHandler presentHandler = nullptr;
  platform::SurfaceMemoryHandler memoryHandler = nullptr;
  QImage presented;
  bool bPresentedShared = false;  // shares the pixels of its source surface
  RECT presentedRect = {};
  uint64_t presentCount = 0;
  std::vector<platform_test::OfferedDevice> offered;
  bool bCountPixels = false;
  std::vector<uint32_t> pixelCounts;
};

// The layer's bookkeeping, made on first use.
HookState& Hooks() {
  static HookState state;
  return state;
}

}  // namespace

// ---- functions: bookkeeping -------------------------------------------------

namespace dx {

// Registers a call site under its name.
CallSite::CallSite(const char* siteName) : name(siteName) { Hooks().sites.push_back(this); }

// Counts a call and consumes an injected failure that has come due.
HRESULT Enter(CallSite& site) {
  HookState& h = Hooks();
  ++site.count;
  ++h.totalCalls;
  if (h.failures.empty()) return DD_OK;
  // Every pending failure of this name counts the call, so that failures
  // scheduled for the 1st and the 2nd call fail exactly those two.
  HRESULT result = DD_OK;
  auto range = h.failures.equal_range(site.name);
  for (auto it = range.first; it != range.second;) {
    if (--it->second.nth == 0) {
      if (result == DD_OK) result = it->second.code;
      it = h.failures.erase(it);
    } else {
      ++it;
    }
  }
  return result;
}

// Counts the object among the living.
Object::Object() { ++Hooks().liveObjects; }

// Takes the object off the living.
Object::~Object() { --Hooks().liveObjects; }

// Drops one reference; the last one deletes the object.
ULONG Object::Release() {
  ULONG left = --refs;
  if (left == 0) delete this;
  return left;
}

// The display depth GetDisplayMode reports.
DWORD DisplayBits() { return Hooks().displayBits; }

// The surfaces that exist.
std::vector<SurfaceObj*>& LiveSurfaces() { return Hooks().surfaces; }

// The scripted device kinds.
const std::vector<platform_test::OfferedDevice>& OfferedDevices() { return Hooks().offered; }

// The pixel-count record for a target of this size, while counting is on.
std::vector<uint32_t>* PixelCounts(int width, int height) {
  HookState& h = Hooks();
  if (!h.bCountPixels) return nullptr;
  size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (h.pixelCounts.size() != n) h.pixelCounts.assign(n, 0);
  return &h.pixelCounts;
}

// Scales a rectangle of pixels into another rectangle by nearest neighbours,
// making only the first outW x outH pixels of the destination.
void StretchCopy(const uint32_t* src, int srcPitch, const RECT& srcRect, uint32_t* dst, int dstPitch,
                 const RECT& dstRect, int outW, int outH) {
  const int sw = srcRect.right - srcRect.left, sh = srcRect.bottom - srcRect.top;
  const int dw = dstRect.right - dstRect.left, dh = dstRect.bottom - dstRect.top;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  outW = std::min(outW, dw), outH = std::min(outH, dh);
  if (sw == dw && sh == dh) {
    for (int y = 0; y < outH; ++y)
      std::memcpy(dst + static_cast<ptrdiff_t>(dstRect.top + y) * dstPitch + dstRect.left,
                  src + static_cast<ptrdiff_t>(srcRect.top + y) * srcPitch + srcRect.left,
                  static_cast<size_t>(outW) * sizeof(uint32_t));
    return;
  }
  // Sample each destination pixel centre in 16.16 steps.
  const int64_t stepX = (static_cast<int64_t>(sw) << 16) / dw;
  const int64_t stepY = (static_cast<int64_t>(sh) << 16) / dh;
  int64_t fy = stepY / 2;
  for (int y = 0; y < outH; ++y, fy += stepY) {
    const int sy = srcRect.top + std::min(static_cast<int>(fy >> 16), sh - 1);
    const uint32_t* srow = src + static_cast<ptrdiff_t>(sy) * srcPitch + srcRect.left;
    uint32_t* drow = dst + static_cast<ptrdiff_t>(dstRect.top + y) * dstPitch + dstRect.left;
    int64_t fx = stepX / 2;
    for (int x = 0; x < outW; ++x, fx += stepX) drow[x] = srow[std::min(static_cast<int>(fx >> 16), sw - 1)];
  }
}

// Shows the source rectangle under the destination rectangle of the screen.
void Present(const SurfaceObj& source, const RECT& srcRect, const RECT& destRect, HWND hwndClip) {
  HookState& h = Hooks();
  // No screen shows more than the largest surface side: of a larger
  // rectangle only the top-left part is made.
  const RECT& src = srcRect;
  const RECT& dest = destRect;
  const int64_t kMax = platform::kMaxSurfaceSide;
  const int fullW = dest.right - dest.left, fullH = dest.bottom - dest.top;
  const int dw = static_cast<int>(std::min<int64_t>(fullW, kMax)), dh = static_cast<int>(std::min<int64_t>(fullH, kMax));
  if (h.presentHandler != nullptr && src.right - src.left == fullW && src.bottom - src.top == fullH) {
    // The window system copies the picture from the surface's own pixels:
    // the frame is not copied on the way there.
    const uint32_t* first = source.pixels.data() + static_cast<ptrdiff_t>(src.top) * source.width + src.left;
    h.presented = QImage(reinterpret_cast<const uchar*>(first), dw, dh, static_cast<qsizetype>(source.width) * 4,
                         QImage::Format_RGB32);
    h.bPresentedShared = true;
  } else {
    // A picture of its own: made anew when a kept one still uses the old.
    if (h.bPresentedShared || h.presented.width() != dw || h.presented.height() != dh || !h.presented.isDetached())
      h.presented = QImage(dw, dh, QImage::Format_RGB32);
    h.bPresentedShared = false;
    if (!h.presented.isNull()) {
      RECT whole = {0, 0, fullW, fullH};
      StretchCopy(source.pixels.data(), source.width, src, reinterpret_cast<uint32_t*>(h.presented.bits()),
                  static_cast<int>(h.presented.bytesPerLine() / 4), whole, dw, dh);
    }
  }
  h.presentedRect = destRect;
  ++h.presentCount;
  if (h.presentHandler != nullptr) h.presentHandler(h.presented, dest, hwndClip);
}

// The surface's pixels are about to be freed or cleared: pictures that share
// them take copies first.
void SurfaceMemoryGoing(const SurfaceObj& surface) {
  if (surface.pixels.empty()) return;
  HookState& h = Hooks();
  const auto* begin = reinterpret_cast<const uchar*>(surface.pixels.data());
  const auto* end = begin + surface.pixels.size() * sizeof(uint32_t);
  if (h.bPresentedShared && h.presented.constBits() >= begin && h.presented.constBits() < end) {
    h.presented = h.presented.copy();
    h.bPresentedShared = false;
  }
  if (h.memoryHandler != nullptr) h.memoryHandler(begin, end);
}

}  // namespace dx

// ---- functions: links and hooks ---------------------------------------------

namespace platform {

// Installs the window layer's receiver of presented pictures.
void SetPresentHandler(PresentHandler handler) { Hooks().presentHandler = handler; }

// Installs the window layer's keeper of pictures whose pixels are going.
void SetSurfaceMemoryHandler(SurfaceMemoryHandler handler) { Hooks().memoryHandler = handler; }

}  // namespace platform

namespace platform_test {

// The last picture blitted to the primary surface.
const QImage& LastPresentedImage() { return Hooks().presented; }

// Where the last picture went on the screen.
RECT LastPresentedRect() { return Hooks().presentedRect; }

// How many pictures went to the primary surface.
uint64_t PresentCount() { return Hooks().presentCount; }

// Sets the depth that GetDisplayMode reports.
void SetDisplayDepth(DWORD bitsPerPixel) { Hooks().displayBits = bitsPerPixel; }

// Schedules one failure of a named call.
void FailCall(const char* name, HRESULT code, int nth) {
  if (name == nullptr || nth < 1) return;
  Hooks().failures.emplace(name, PendingFailure{nth, code});
}

// Drops the scheduled failures.
void ClearFailures() { Hooks().failures.clear(); }

// Loses every surface.
void LoseAllSurfaces() {
  for (dx::SurfaceObj* s : Hooks().surfaces) s->bLost = true;
}

// Surfaces alive.
int LiveSurfaceCount() { return static_cast<int>(Hooks().surfaces.size()); }

// Objects alive.
int LiveObjectCount() { return Hooks().liveObjects; }

// All calls counted.
uint64_t PlatformCallCount() { return Hooks().totalCalls; }

// Calls of one name counted.
uint64_t PlatformCallCount(const char* name) {
  uint64_t n = 0;
  for (const dx::CallSite* site : Hooks().sites)
    if (std::strcmp(site->name, name) == 0) n += site->count;
  return n;
}

// Starts counting again.
void ResetPlatformCallCounts() {
  for (dx::CallSite* site : Hooks().sites) site->count = 0;
  Hooks().totalCalls = 0;
}

// Scripts the device kinds EnumDevices offers.
void SetOfferedDevices(const std::vector<OfferedDevice>& devices) { Hooks().offered = devices; }

// Our rasterizer's own descriptions.
void OurDeviceDescriptions(D3DDEVICEDESC* hw, D3DDEVICEDESC* hel) { dx::DescribeDevice(hw, hel); }

// Switches the per-pixel write counts on or off.
void SetPixelCounting(bool on) {
  Hooks().bCountPixels = on;
  Hooks().pixelCounts.clear();
}

// The per-pixel write counts.
const std::vector<uint32_t>& CountedPixels() { return Hooks().pixelCounts; }

// Every hook back to its default.
void ResetDXHooks() {
  HookState& h = Hooks();
  h.failures.clear();
  h.displayBits = 32;
  h.offered.clear();
  h.bCountPixels = false;
  h.pixelCounts.clear();
  h.presented = QImage();
  h.bPresentedShared = false;
  h.presentedRect = {};
  h.presentCount = 0;
  ResetPlatformCallCounts();
}

}  // namespace platform_test
