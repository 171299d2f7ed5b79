// The DirectDraw/Direct3D layer's links to the rest of the platform (where a
// blit to the primary surface goes) and its test hooks (fault injection,
// lost surfaces, display depth, call counting, the last presented picture).
#pragma once

#include "platform/d3d.h"
#include "platform/win_types.h"

#include <cstdint>
#include <vector>

class QImage;

// ---- presentation ------------------------------------------------------------

namespace platform {
// Receives each picture blitted to the primary surface: the pixels at the
// size of the destination rectangle (X8R8G8B8; at most kMaxSurfaceSide a side,
// the top-left part of a larger rectangle), the destination rectangle in
// screen coordinates and the clipper's window (null without a clipper). A
// picture of the source's own size is no copy: the image shares the source
// surface's pixels, so it shows what the surface holds when it is read. A
// stretched picture is made anew and never written over. The image may be
// kept; the surface memory handler says when shared pixels are going.
typedef void (*PresentHandler)(const QImage& image, const RECT& rcDest, HWND hwndClip);
// Installs the window layer's receiver; null presents into the off-screen
// target that tests read, which keeps a copy of every picture.
void SetPresentHandler(PresentHandler handler);
// Told that the pixels of a surface (the bytes from begin to end) are about to
// be freed, or cleared by a restore: a kept picture that shares them must be
// copied now.
typedef void (*SurfaceMemoryHandler)(const void* begin, const void* end);
void SetSurfaceMemoryHandler(SurfaceMemoryHandler handler);

// Largest surface side DirectDraw accepts here; larger surfaces fail with
// DDERR_OUTOFVIDEOMEMORY.
constexpr DWORD kMaxSurfaceSide = 8192;
}  // namespace platform

// ---- test hooks ----------------------------------------------------------------

namespace platform_test {
// The picture of the last blit to the primary surface (null image before any);
// read it before the source surface is drawn into again.
const QImage& LastPresentedImage();
// Its destination rectangle.
RECT LastPresentedRect();
// Number of blits to the primary surface so far.
uint64_t PresentCount();

// The display depth GetDisplayMode reports (bits per pixel; 32 by default).
void SetDisplayDepth(DWORD bitsPerPixel);

// Makes the nth call from now (1 = the next one) of the named interface call
// fail with the given code, once. Names are the call macro names, for example
// "IDirectDraw2_CreateSurface", "IDirect3D2_CreateDevice",
// "IDirect3DDevice2_BeginScene", "IDirectDrawSurface3_Blt", or
// "DirectDrawCreate". The call then does nothing else.
void FailCall(const char* name, HRESULT code, int nth = 1);
// Forgets every pending injected failure.
void ClearFailures();

// Marks every existing surface lost: IsLost and the drawing calls answer
// DDERR_SURFACELOST until the surface is restored.
void LoseAllSurfaces();
// Number of surfaces that exist.
int LiveSurfaceCount();
// Number of live objects of any DirectDraw/Direct3D kind (to find leaks).
int LiveObjectCount();

// Number of DirectDraw/Direct3D calls made so far (every interface method and
// DirectDrawCreate), and of one named call.
uint64_t PlatformCallCount();
uint64_t PlatformCallCount(const char* name);
// Starts the counts again from 0.
void ResetPlatformCallCounts();

// When on, the device counts the pixels each draw writes; CountedPixels gives
// per pixel of the render target how often it was written since the last
// BeginScene (row by row, width x height).
void SetPixelCounting(bool on);
const std::vector<uint32_t>& CountedPixels();

// One device kind that EnumDevices offers: its identifier and the hardware
// and emulation descriptions it reports.
struct OfferedDevice {
  GUID guid;
  D3DDEVICEDESC hw;
  D3DDEVICEDESC hel;
};
// Replaces what EnumDevices offers, in this order (an empty list: our own
// rasterizer as the RGB emulation device). CreateDevice accepts every kind
// offered and serves it with the same rasterizer.
void SetOfferedDevices(const std::vector<OfferedDevice>& devices);
// The descriptions our rasterizer reports, to start scripted ones from.
void OurDeviceDescriptions(D3DDEVICEDESC* hw, D3DDEVICEDESC* hel);

// Puts every hook back to its default.
void ResetDXHooks();
}  // namespace platform_test
