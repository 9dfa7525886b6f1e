#include "ComObject.h"
#include "Device.h"
#include "Win32Internal.h"
#include "core/MemoryPolicy.h"

#include <SDL2/SDL.h>

namespace d3d9 {
namespace {

class Direct3D9 final : public platform::ComObject<IDirect3D9> {
  public:
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override {
        SDL_DisplayMode desktop;
        if (!mode || adapter != D3DADAPTER_DEFAULT || !platform::ensureVideo() ||
            SDL_GetDesktopDisplayMode(0, &desktop) != 0)
            return D3DERR_INVALIDCALL;
        mode->Width = static_cast<UINT>(desktop.w);
        mode->Height = static_cast<UINT>(desktop.h);
        mode->RefreshRate = static_cast<UINT>(desktop.refresh_rate);
        mode->Format = SDL_BITSPERPIXEL(desktop.format) == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
        return D3D_OK;
    }

    // Both device types are the same OpenGL rasteriser here; either succeeds when a 3.3 core
    // context can be made on the window.
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override {
        if (!device) return D3DERR_INVALIDCALL;
        *device = nullptr;
        if (!parameters || adapter != D3DADAPTER_DEFAULT ||
            (type != D3DDEVTYPE_HAL && type != D3DDEVTYPE_REF))
            return D3DERR_INVALIDCALL;
        platform::MemoryPolicy::keepFreedMemory();
        HWND window = parameters->hDeviceWindow ? parameters->hDeviceWindow : focusWindow;
        auto* created = new Device(window, *parameters);
        if (!created->create()) {
            created->Release();
            return D3DERR_NOTAVAILABLE;
        }
        *parameters = created->presentParameters();
        *device = created;
        return D3D_OK;
    }
};

} // namespace
} // namespace d3d9

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) return nullptr;
    return new d3d9::Direct3D9();
}
