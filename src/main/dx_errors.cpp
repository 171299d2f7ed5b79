// The texts of the DirectDraw, Direct3D and DirectInput result codes that the
// fatal report appends: each code's name and a one-line description.

#include <algorithm>
#include <array>

#include "main/fatal.h"

// ---- types ----------------------------------------------------------------

// One row of a lookup table: a result code and its text.
struct ERRORTEXT {
  HRESULT hr;
  const char* lpszText;
};

// ---- functions used to build the tables -----------------------------------

// Orders the rows by code, so that a lookup is a binary search.
template <size_t N>
static constexpr std::array<ERRORTEXT, N> SortedByCode(std::array<ERRORTEXT, N> rows) {
  std::sort(rows.begin(), rows.end(),
            [](const ERRORTEXT& a, const ERRORTEXT& b) { return a.hr < b.hr; });
  return rows;
}

// True when no code appears twice and every row has a text.
template <size_t N>
static constexpr bool EveryCodeOnce(const std::array<ERRORTEXT, N>& rows) {
  for (size_t i = 0; i < N; ++i) {
    if (rows[i].lpszText == nullptr) return false;
    if (i > 0 && rows[i - 1].hr == rows[i].hr) return false;
  }
  return true;
}

// ---- globals --------------------------------------------------------------

static const char gc_szUnknownError[] = "Unknown error code.";

// DirectDraw rows carry a description; Direct3D rows are the name alone.
// Five DirectDraw names are the generic COM codes of the same value.
static constexpr auto g_DXErrorTexts = SortedByCode(std::array<ERRORTEXT, 162>{{
    {DD_OK, "DD_OK - The request completed successfully."},
    {DDERR_ALREADYINITIALIZED, "DDERR_ALREADYINITIALIZED - The object has already been initialized."},
    {DDERR_BLTFASTCANTCLIP, "DDERR_BLTFASTCANTCLIP - A clipper is attached to a source surface passed to a fast blit, which cannot clip."},
    {DDERR_CANNOTATTACHSURFACE, "DDERR_CANNOTATTACHSURFACE - The surface cannot be attached to the requested surface."},
    {DDERR_CANNOTDETACHSURFACE, "DDERR_CANNOTDETACHSURFACE - The surface cannot be detached from the requested surface."},
    {DDERR_CANTCREATEDC, "DDERR_CANTCREATEDC - The system cannot create a device context for this surface."},
    {DDERR_CANTDUPLICATE, "DDERR_CANTDUPLICATE - Primary surfaces, 3D surfaces and implicitly created surfaces cannot be duplicated."},
    {DDERR_CANTLOCKSURFACE, "DDERR_CANTLOCKSURFACE - Access to the surface is refused because no pointer to its memory could be obtained."},
    {DDERR_CANTPAGELOCK, "DDERR_CANTPAGELOCK - The surface memory could not be locked into physical memory."},
    {DDERR_CANTPAGEUNLOCK, "DDERR_CANTPAGEUNLOCK - The surface memory could not be released from its lock in physical memory."},
    {DDERR_CLIPPERISUSINGHWND, "DDERR_CLIPPERISUSINGHWND - A clip list cannot be set on a clipper that is already following a window."},
    {DDERR_COLORKEYNOTSET, "DDERR_COLORKEYNOTSET - No source color key has been set for this operation."},
    {DDERR_CURRENTLYNOTAVAIL, "DDERR_CURRENTLYNOTAVAIL - The requested support is not available at the moment."},
    {DDERR_DCALREADYCREATED, "DDERR_DCALREADYCREATED - A device context has already been handed out for this surface."},
    {DDERR_DEVICEDOESNTOWNSURFACE, "DDERR_DEVICEDOESNTOWNSURFACE  - The surface belongs to another DirectDraw device and cannot be used with this one."},
    {DDERR_DIRECTDRAWALREADYCREATED, "DDERR_DIRECTDRAWALREADYCREATED - A DirectDraw object for this driver already exists in this process."},
    {DDERR_EXCEPTION, "DDERR_EXCEPTION - An exception was raised while the request was carried out."},
    {DDERR_EXCLUSIVEMODEALREADYSET, "DDERR_EXCLUSIVEMODEALREADYSET - Another application already holds the exclusive cooperative level."},
    {DDERR_GENERIC, "DDERR_GENERIC - An error occurred that has no more precise description."},
    {DDERR_HEIGHTALIGN, "DDERR_HEIGHTALIGN - The height of the rectangle is not a multiple of the required alignment."},
    {DDERR_HWNDALREADYSET, "DDERR_HWNDALREADYSET - The cooperative window cannot be changed while surfaces or palettes exist."},
    {DDERR_HWNDSUBCLASSED, "DDERR_HWNDSUBCLASSED - The cooperative window has been subclassed, so DirectDraw cannot restore its state."},
    {DDERR_IMPLICITLYCREATED, "DDERR_IMPLICITLYCREATED - The surface was created implicitly and cannot be restored on its own."},
    {DDERR_INCOMPATIBLEPRIMARY, "DDERR_INCOMPATIBLEPRIMARY - The requested primary surface does not match the one that already exists."},
    {DDERR_INVALIDCAPS, "DDERR_INVALIDCAPS - One or more of the capability bits passed to the method are wrong."},
    {DDERR_INVALIDCLIPLIST, "DDERR_INVALIDCLIPLIST - DirectDraw does not support the clip list it was given."},
    {DDERR_INVALIDDIRECTDRAWGUID, "DDERR_INVALIDDIRECTDRAWGUID - The identifier passed to DirectDrawCreate does not name a DirectDraw driver."},
    {DDERR_INVALIDMODE, "DDERR_INVALIDMODE - DirectDraw does not support the requested display mode."},
    {DDERR_INVALIDOBJECT, "DDERR_INVALIDOBJECT - DirectDraw was given a pointer that is not a valid DirectDraw object."},
    {DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS - One or more of the parameters passed to the method are wrong."},
    {DDERR_INVALIDPIXELFORMAT, "DDERR_INVALIDPIXELFORMAT - The pixel format given is not valid."},
    {DDERR_INVALIDPOSITION, "DDERR_INVALIDPOSITION - The overlay position on the destination surface is not valid."},
    {DDERR_INVALIDRECT, "DDERR_INVALIDRECT - The rectangle given is not valid."},
    {DDERR_INVALIDSURFACETYPE, "DDERR_INVALIDSURFACETYPE - The surface is of the wrong type for this operation."},
    {DDERR_LOCKEDSURFACES, "DDERR_LOCKEDSURFACES - The operation failed because one or more surfaces are locked."},
    {DDERR_MOREDATA, "DDERR_MOREDATA  - There is more data available than the specified buffer size can hold."},
    {DDERR_NO3D, "DDERR_NO3D - Neither 3D hardware nor 3D emulation is present."},
    {DDERR_NOALPHAHW, "DDERR_NOALPHAHW - No hardware for alpha blending is present or available."},
    {DDERR_NOBLTHW, "DDERR_NOBLTHW - No blitting hardware is present."},
    {DDERR_NOCLIPLIST, "DDERR_NOCLIPLIST - No clip list is available."},
    {DDERR_NOCLIPPERATTACHED, "DDERR_NOCLIPPERATTACHED - No clipper object is attached to the surface."},
    {DDERR_NOCOLORCONVHW, "DDERR_NOCOLORCONVHW - No hardware for color conversion is present or available."},
    {DDERR_NOCOLORKEY, "DDERR_NOCOLORKEY - The surface has no color key at the moment."},
    {DDERR_NOCOLORKEYHW, "DDERR_NOCOLORKEYHW - The hardware does not support a destination color key."},
    {DDERR_NOCOOPERATIVELEVELSET, "DDERR_NOCOOPERATIVELEVELSET - An object was to be created before the cooperative level was set."},
    {DDERR_NODC, "DDERR_NODC - No device context has been created for this surface."},
    {DDERR_NODDROPSHW, "DDERR_NODDROPSHW - No hardware for DirectDraw raster operations is available."},
    {DDERR_NODIRECTDRAWHW, "DDERR_NODIRECTDRAWHW - A hardware-only DirectDraw object cannot be created because the driver supports no hardware."},
    {DDERR_NODIRECTDRAWSUPPORT, "DDERR_NODIRECTDRAWSUPPORT - The current display driver does not support DirectDraw."},
    {DDERR_NOEMULATION, "DDERR_NOEMULATION - Software emulation is not available."},
    {DDERR_NOEXCLUSIVEMODE, "DDERR_NOEXCLUSIVEMODE - The operation needs the exclusive cooperative level, which the application does not hold."},
    {DDERR_NOFLIPHW, "DDERR_NOFLIPHW - The hardware cannot flip visible surfaces."},
    {DDERR_NOFOCUSWINDOW, "DDERR_NOFOCUSWINDOW  - A device window was to be created or set before the focus window was set."},
    {DDERR_NOGDI, "DDERR_NOGDI - No GDI is present."},
    {DDERR_NOHWND, "DDERR_NOHWND - There is no window for clipper notification, or no cooperative window was set."},
    {DDERR_NOMIPMAPHW, "DDERR_NOMIPMAPHW - No hardware for mipmapped textures is present or available."},
    {DDERR_NOMIRRORHW, "DDERR_NOMIRRORHW - No hardware for mirroring is present or available."},
    {DDERR_NONONLOCALVIDMEM, "DDERR_NONONLOCALVIDMEM  - Non-local display memory was requested from a device that has none."},
    {DDERR_NOOPTIMIZEHW, "DDERR_NOOPTIMIZEHW  - The device does not support optimized surfaces."},
    {DDERR_NOOVERLAYDEST, "DDERR_NOOVERLAYDEST - No destination has been set for the overlay."},
    {DDERR_NOOVERLAYHW, "DDERR_NOOVERLAYHW - No overlay hardware is present or available."},
    {DDERR_NOPALETTEATTACHED, "DDERR_NOPALETTEATTACHED - No palette object is attached to the surface."},
    {DDERR_NOPALETTEHW, "DDERR_NOPALETTEHW - The hardware does not support 16-color or 256-color palettes."},
    {DDERR_NORASTEROPHW, "DDERR_NORASTEROPHW - No hardware for the requested raster operation is present or available."},
    {DDERR_NOROTATIONHW, "DDERR_NOROTATIONHW - No hardware for rotation is present or available."},
    {DDERR_NOSTRETCHHW, "DDERR_NOSTRETCHHW - The hardware cannot stretch."},
    {DDERR_NOT4BITCOLOR, "DDERR_NOT4BITCOLOR - The operation needs a surface with a 4-bit color palette."},
    {DDERR_NOT4BITCOLORINDEX, "DDERR_NOT4BITCOLORINDEX - The operation needs a surface with a 4-bit color index palette."},
    {DDERR_NOT8BITCOLOR, "DDERR_NOT8BITCOLOR - The operation needs a surface with an 8-bit color palette."},
    {DDERR_NOTAOVERLAYSURFACE, "DDERR_NOTAOVERLAYSURFACE - An overlay operation was asked of a surface that is not an overlay."},
    {DDERR_NOTEXTUREHW, "DDERR_NOTEXTUREHW - No hardware for texture mapping is present or available."},
    {DDERR_NOTFLIPPABLE, "DDERR_NOTFLIPPABLE - The surface cannot be flipped."},
    {DDERR_NOTFOUND, "DDERR_NOTFOUND - The requested item was not found."},
    {DDERR_NOTINITIALIZED, "DDERR_NOTINITIALIZED - A method was called on an object before the object was initialized."},
    {DDERR_NOTLOADED, "DDERR_NOTLOADED  - The surface is an optimized surface that has no memory allocated yet."},
    {DDERR_NOTLOCKED, "DDERR_NOTLOCKED - A surface that was not locked was to be unlocked."},
    {DDERR_NOTPAGELOCKED, "DDERR_NOTPAGELOCKED - A surface that holds no lock in physical memory was to be released from one."},
    {DDERR_NOTPALETTIZED, "DDERR_NOTPALETTIZED - The surface does not use a palette."},
    {DDERR_NOVSYNCHW, "DDERR_NOVSYNCHW - The hardware does not support operations synchronized with the vertical blank."},
    {DDERR_NOZBUFFERHW, "DDERR_NOZBUFFERHW - The hardware does not support depth buffers."},
    {DDERR_NOZOVERLAYHW, "DDERR_NOZOVERLAYHW - The hardware cannot order overlay surfaces by depth."},
    {DDERR_OUTOFCAPS, "DDERR_OUTOFCAPS - The hardware needed for the operation has already been taken."},
    {DDERR_OUTOFMEMORY, "DDERR_OUTOFMEMORY - DirectDraw does not have enough memory to perform the operation."},
    {DDERR_OUTOFVIDEOMEMORY, "DDERR_OUTOFVIDEOMEMORY - DirectDraw does not have enough display memory to perform the operation."},
    {DDERR_OVERLAYCANTCLIP, "DDERR_OVERLAYCANTCLIP - The hardware does not support clipped overlays."},
    {DDERR_OVERLAYCOLORKEYONLYONEACTIVE, "DDERR_OVERLAYCOLORKEYONLYONEACTIVE - Only one color key at a time can be active on an overlay."},
    {DDERR_OVERLAYNOTVISIBLE, "DDERR_OVERLAYNOTVISIBLE - The position of an overlay was asked for while the overlay was hidden."},
    {DDERR_PALETTEBUSY, "DDERR_PALETTEBUSY - Access to the palette is refused because another thread holds a lock on it."},
    {DDERR_PRIMARYSURFACEALREADYEXISTS, "DDERR_PRIMARYSURFACEALREADYEXISTS - This process has already created a primary surface."},
    {DDERR_REGIONTOOSMALL, "DDERR_REGIONTOOSMALL - The region given for the clip list is too small."},
    {DDERR_SURFACEALREADYATTACHED, "DDERR_SURFACEALREADYATTACHED - The surface is already attached to the surface it was to be attached to."},
    {DDERR_SURFACEALREADYDEPENDENT, "DDERR_SURFACEALREADYDEPENDENT - The surface already depends on the surface it was to be made dependent on."},
    {DDERR_SURFACEBUSY, "DDERR_SURFACEBUSY - Access to the surface is refused because another thread holds a lock on it."},
    {DDERR_SURFACEISOBSCURED, "DDERR_SURFACEISOBSCURED - Access to the surface is refused because another window covers it."},
    {DDERR_SURFACELOST, "DDERR_SURFACELOST - Access to the surface is refused because the surface memory is gone. The DirectDrawSurface object representing this surface should have the IDirectDrawSurface3::Restore method called on it."},
    {DDERR_SURFACENOTATTACHED, "DDERR_SURFACENOTATTACHED - The requested surface is not attached."},
    {DDERR_TOOBIGHEIGHT, "DDERR_TOOBIGHEIGHT - The requested height is greater than DirectDraw allows."},
    {DDERR_TOOBIGSIZE, "DDERR_TOOBIGSIZE - The requested size is greater than DirectDraw allows."},
    {DDERR_TOOBIGWIDTH, "DDERR_TOOBIGWIDTH - The requested width is greater than DirectDraw allows."},
    {DDERR_UNSUPPORTED, "DDERR_UNSUPPORTED - The operation is not supported."},
    {DDERR_UNSUPPORTEDFORMAT, "DDERR_UNSUPPORTEDFORMAT - DirectDraw does not support the requested pixel format."},
    {DDERR_UNSUPPORTEDMASK, "DDERR_UNSUPPORTEDMASK - DirectDraw does not support the bit mask of the pixel format."},
    {DDERR_UNSUPPORTEDMODE, "DDERR_UNSUPPORTEDMODE - The display is in a mode that is not supported."},
    {DDERR_VERTICALBLANKINPROGRESS, "DDERR_VERTICALBLANKINPROGRESS - A vertical blank is in progress."},
    {DDERR_VIDEONOTACTIVE, "DDERR_VIDEONOTACTIVE  - The video port is not active."},
    {DDERR_WASSTILLDRAWING, "DDERR_WASSTILLDRAWING - The previous blit to or from this surface has not finished yet."},
    {DDERR_WRONGMODE, "DDERR_WRONGMODE - The surface was created in another display mode and cannot be restored."},
    {DDERR_XALIGN, "DDERR_XALIGN - The rectangle does not start on the required horizontal boundary."},
    {D3DERR_BADMAJORVERSION, "D3DERR_BADMAJORVERSION"},
    {D3DERR_BADMINORVERSION, "D3DERR_BADMINORVERSION"},
    {D3DERR_DEVICEAGGREGATED, "D3DERR_DEVICEAGGREGATED"},
    {D3DERR_EXECUTE_CLIPPED_FAILED, "D3DERR_EXECUTE_CLIPPED_FAILED"},
    {D3DERR_EXECUTE_CREATE_FAILED, "D3DERR_EXECUTE_CREATE_FAILED"},
    {D3DERR_EXECUTE_DESTROY_FAILED, "D3DERR_EXECUTE_DESTROY_FAILED"},
    {D3DERR_EXECUTE_FAILED, "D3DERR_EXECUTE_FAILED"},
    {D3DERR_EXECUTE_LOCK_FAILED, "D3DERR_EXECUTE_LOCK_FAILED"},
    {D3DERR_EXECUTE_LOCKED, "D3DERR_EXECUTE_LOCKED"},
    {D3DERR_EXECUTE_NOT_LOCKED, "D3DERR_EXECUTE_NOT_LOCKED"},
    {D3DERR_EXECUTE_UNLOCK_FAILED, "D3DERR_EXECUTE_UNLOCK_FAILED"},
    {D3DERR_INITFAILED, "D3DERR_INITFAILED"},
    {D3DERR_INBEGIN, "D3DERR_INBEGIN"},
    {D3DERR_INVALID_DEVICE, "D3DERR_INVALID_DEVICE"},
    {D3DERR_INVALIDCURRENTVIEWPORT, "D3DERR_INVALIDCURRENTVIEWPORT"},
    {D3DERR_INVALIDPALETTE, "D3DERR_INVALIDPALETTE"},
    {D3DERR_INVALIDPRIMITIVETYPE, "D3DERR_INVALIDPRIMITIVETYPE"},
    {D3DERR_INVALIDRAMPTEXTURE, "D3DERR_INVALIDRAMPTEXTURE"},
    {D3DERR_INVALIDVERTEXTYPE, "D3DERR_INVALIDVERTEXTYPE"},
    {D3DERR_LIGHT_SET_FAILED, "D3DERR_LIGHT_SET_FAILED"},
    {D3DERR_LIGHTHASVIEWPORT, "D3DERR_LIGHTHASVIEWPORT"},
    {D3DERR_LIGHTNOTINTHISVIEWPORT, "D3DERR_LIGHTNOTINTHISVIEWPORT"},
    {D3DERR_MATERIAL_CREATE_FAILED, "D3DERR_MATERIAL_CREATE_FAILED"},
    {D3DERR_MATERIAL_DESTROY_FAILED, "D3DERR_MATERIAL_DESTROY_FAILED"},
    {D3DERR_MATERIAL_GETDATA_FAILED, "D3DERR_MATERIAL_GETDATA_FAILED"},
    {D3DERR_MATERIAL_SETDATA_FAILED, "D3DERR_MATERIAL_SETDATA_FAILED"},
    {D3DERR_MATRIX_CREATE_FAILED, "D3DERR_MATRIX_CREATE_FAILED"},
    {D3DERR_MATRIX_DESTROY_FAILED, "D3DERR_MATRIX_DESTROY_FAILED"},
    {D3DERR_MATRIX_GETDATA_FAILED, "D3DERR_MATRIX_GETDATA_FAILED"},
    {D3DERR_MATRIX_SETDATA_FAILED, "D3DERR_MATRIX_SETDATA_FAILED"},
    {D3DERR_NOCURRENTVIEWPORT, "D3DERR_NOCURRENTVIEWPORT"},
    {D3DERR_NOTINBEGIN, "D3DERR_NOTINBEGIN"},
    {D3DERR_NOVIEWPORTS, "D3DERR_NOVIEWPORTS"},
    {D3DERR_SCENE_BEGIN_FAILED, "D3DERR_SCENE_BEGIN_FAILED"},
    {D3DERR_SCENE_END_FAILED, "D3DERR_SCENE_END_FAILED"},
    {D3DERR_SCENE_IN_SCENE, "D3DERR_SCENE_IN_SCENE"},
    {D3DERR_SCENE_NOT_IN_SCENE, "D3DERR_SCENE_NOT_IN_SCENE"},
    {D3DERR_SETVIEWPORTDATA_FAILED, "D3DERR_SETVIEWPORTDATA_FAILED"},
    {D3DERR_SURFACENOTINVIDMEM, "D3DERR_SURFACENOTINVIDMEM"},
    {D3DERR_TEXTURE_BADSIZE, "D3DERR_TEXTURE_BADSIZE"},
    {D3DERR_TEXTURE_CREATE_FAILED, "D3DERR_TEXTURE_CREATE_FAILED"},
    {D3DERR_TEXTURE_DESTROY_FAILED, "D3DERR_TEXTURE_DESTROY_FAILED"},
    {D3DERR_TEXTURE_GETSURF_FAILED, "D3DERR_TEXTURE_GETSURF_FAILED"},
    {D3DERR_TEXTURE_LOAD_FAILED, "D3DERR_TEXTURE_LOAD_FAILED"},
    {D3DERR_TEXTURE_LOCK_FAILED, "D3DERR_TEXTURE_LOCK_FAILED"},
    {D3DERR_TEXTURE_LOCKED, "D3DERR_TEXTURE_LOCKED"},
    {D3DERR_TEXTURE_NO_SUPPORT, "D3DERR_TEXTURE_NO_SUPPORT"},
    {D3DERR_TEXTURE_NOT_LOCKED, "D3DERR_TEXTURE_NOT_LOCKED"},
    {D3DERR_TEXTURE_SWAP_FAILED, "D3DERR_TEXTURE_SWAP_FAILED"},
    {D3DERR_TEXTURE_UNLOCK_FAILED, "D3DERR_TEXTURE_UNLOCK_FAILED"},
    {D3DERR_VIEWPORTDATANOTSET, "D3DERR_VIEWPORTDATANOTSET"},
    {D3DERR_VIEWPORTHASNODEVICE, "D3DERR_VIEWPORTHASNODEVICE"},
    {D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY, "D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY"},
    {D3DERR_ZBUFF_NEEDS_VIDEOMEMORY, "D3DERR_ZBUFF_NEEDS_VIDEOMEMORY"},
}});
static_assert(EveryCodeOnce(g_DXErrorTexts), "each DirectX code has exactly one row");

// Where several names share one value, the row names them all.
static constexpr auto g_DIErrorTexts = SortedByCode(std::array<ERRORTEXT, 35>{{
    {DI_OK, "DI_OK: The operation completed successfully. This value is equal to the S_OK standard COM return value."},
    {DI_BUFFEROVERFLOW, "DI_BUFFEROVERFLOW/DI_NOEFFECT/DI_NOTATTACHED/DI_PROPNOEFFECT: The device buffer overflowed and some input was lost/The operation had no effect/The device exists but is not currently attached/The change in device properties had no effect. This value is equal to the S_FALSE standard COM return value."},
    {DI_POLLEDDEVICE, "DI_POLLEDDEVICE: The device is polled, so its data and events are only brought up to date when it is polled."},
    {DI_DOWNLOADSKIPPED, "DI_DOWNLOADSKIPPED: The parameters of the effect were changed but the effect was not downloaded."},
    {DI_EFFECTRESTARTED, "DI_EFFECTRESTARTED: The effect was stopped and started again to change its parameters."},
    {DI_TRUNCATED, "DI_TRUNCATED: Some parameters lay outside the range of the device and were cut down to fit."},
    {DI_TRUNCATEDANDRESTARTED, "DI_TRUNCATEDANDRESTARTED: Some parameters were cut down to fit and the effect was started again."},
    {E_PENDING, "E_PENDING: Data is not yet available."},
    {DIERR_UNSUPPORTED, "DIERR_UNSUPPORTED: The function called is not supported at this time. This value is equal to the E_NOTIMPL standard COM return value."},
    {DIERR_NOINTERFACE, "DIERR_NOINTERFACE: The object does not support the requested interface. This value is equal to the E_NOINTERFACE standard COM return value."},
    {DIERR_GENERIC, "DIERR_GENERIC: An error occurred inside DirectInput that has no more precise description. This value is equal to the E_FAIL standard COM return value."},
    {DIERR_NOAGGREGATION, "DIERR_NOAGGREGATION: The object does not support aggregation."},
    {DIERR_DEVICENOTREG, "DIERR_DEVICENOTREG: The device or device instance is not registered with DirectInput. This value is equal to the REGDB_E_CLASSNOTREG standard COM return value."},
    {DIERR_DEVICEFULL, "DIERR_DEVICEFULL: The device is full."},
    {DIERR_MOREDATA, "DIERR_MOREDATA: Not all of the requested data fitted into the buffer."},
    {DIERR_NOTDOWNLOADED, "DIERR_NOTDOWNLOADED: The effect has not been downloaded."},
    {DIERR_HASEFFECTS, "DIERR_HASEFFECTS: The device cannot be initialized again while effects are attached to it."},
    {DIERR_NOTEXCLUSIVEACQUIRED, "DIERR_NOTEXCLUSIVEACQUIRED: The operation needs the device to be acquired in exclusive mode."},
    {DIERR_INCOMPLETEEFFECT, "DIERR_INCOMPLETEEFFECT: The effect cannot be downloaded because essential parameters are missing."},
    {DIERR_NOTBUFFERED, "DIERR_NOTBUFFERED: The device has no buffer; a buffer size must be set before buffered data can be read."},
    {DIERR_EFFECTPLAYING, "DIERR_EFFECTPLAYING: The parameters were changed in memory but not downloaded because the effect is playing."},
    {DIERR_UNPLUGGED, "DIERR_UNPLUGGED: The operation could not be completed because the device is not plugged in."},
    {DIERR_REPORTFULL, "DIERR_REPORTFULL: More data was to be sent to the device than it can take."},
    {DIERR_NOTFOUND, "DIERR_NOTFOUND/DIERR_OBJECTNOTFOUND: The requested item was not found/The requested object does not exist."},
    {DIERR_HANDLEEXISTS, "DIERR_HANDLEEXISTS/DIERR_OTHERAPPHASPRIO/DIERR_READONLY: The device already has an event notification handle/Another application has a higher priority level and keeps this call from succeeding/The property cannot be changed. This value is equal to the E_ACCESSDENIED standard COM return value. The three causes share one value and cannot be told apart."},
    {DIERR_NOTACQUIRED, "DIERR_NOTACQUIRED: The operation cannot be performed unless the device is acquired."},
    {DIERR_OUTOFMEMORY, "DIERR_OUTOFMEMORY: DirectInput could not allocate enough memory to complete the call. This value is equal to the E_OUTOFMEMORY standard COM return value."},
    {DIERR_NOTINITIALIZED, "DIERR_NOTINITIALIZED: This object has not been initialized."},
    {DIERR_INPUTLOST, "DIERR_INPUTLOST: Access to the input device has been lost. It must be reacquired."},
    {DIERR_INVALIDPARAM, "DIERR_INVALIDPARAM: A parameter passed to the function was not valid, or the object was not in a state that allows the call. This value is equal to the E_INVALIDARG standard COM return value."},
    {DIERR_BADDRIVERVER, "DIERR_BADDRIVERVER: The object could not be created because the driver version is incompatible or its parts are mismatched or incomplete."},
    {DIERR_ACQUIRED, "DIERR_ACQUIRED: The operation cannot be performed while the device is acquired."},
    {DIERR_OLDDIRECTINPUTVERSION, "DIERR_OLDDIRECTINPUTVERSION: The application needs a newer version of DirectInput."},
    {DIERR_BETADIRECTINPUTVERSION, "DIERR_BETADIRECTINPUTVERSION: The application was written for an unsupported pre-release version of DirectInput."},
    {DIERR_ALREADYINITIALIZED, "DIERR_ALREADYINITIALIZED: This object is already initialized"},
}});
static_assert(EveryCodeOnce(g_DIErrorTexts), "each DirectInput code has exactly one row");

// ---- functions ------------------------------------------------------------

// Binary search of a sorted table; the unknown-code text when the code is absent.
template <size_t N>
static const char* LookUpErrorText(const std::array<ERRORTEXT, N>& rows, HRESULT hr) {
  auto it = std::lower_bound(rows.begin(), rows.end(), hr,
                             [](const ERRORTEXT& row, HRESULT code) { return row.hr < code; });
  if (it == rows.end() || it->hr != hr) return gc_szUnknownError;
  return it->lpszText;
}

// Name and description of a DirectDraw or Direct3D result code.
const char* DXErrorText(HRESULT hr) { return LookUpErrorText(g_DXErrorTexts, hr); }

// Name and description of a DirectInput result code.
const char* DIErrorText(HRESULT hr) { return LookUpErrorText(g_DIErrorTexts, hr); }
