#include "app/GraphicsDevice.h"

int GraphicsDevice::init(HWND window_, HINSTANCE instance_, int width_, int height_) {
    window = window_;
    instance = instance_;
    width = width_;
    height = height_;

    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!direct3d) return 1;
    D3DDISPLAYMODE mode{};
    if (FAILED(direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) return 1;

    presentParameters = D3DPRESENT_PARAMETERS{};
    presentParameters.BackBufferFormat = mode.Format;
    presentParameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParameters.Windowed = TRUE;
    presentParameters.EnableAutoDepthStencil = TRUE;
    presentParameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    presentParameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    if (createDevice() != 0) return 1;

    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    createKeyboard();
    return 0;
}

int GraphicsDevice::createDevice() {
    const struct {
        D3DDEVTYPE type;
        DWORD flags;
    } attempts[] = {
        {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    };
    for (const auto& attempt : attempts) {
        D3DPRESENT_PARAMETERS parameters = presentParameters;
        if (SUCCEEDED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, attempt.type, window,
                                             attempt.flags, &parameters, &device))) {
            presentParameters = parameters;
            return 0;
        }
    }
    return 1;
}

void GraphicsDevice::createKeyboard() {
    // None of these results matter: without a keyboard no key reads as held.
    DirectInput8Create(instance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                       reinterpret_cast<LPVOID*>(&directInput), nullptr);
    if (!directInput) return;
    directInput->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr);
    if (!keyboard) return;
    keyboard->SetDataFormat(&c_dfDIKeyboard);
    keyboard->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_BACKGROUND);
    keyboard->Acquire();
}

int GraphicsDevice::pollKeyboard() {
    if (keyboard) keyboard->GetDeviceState(sizeof keyState, keyState);
    return 0;
}

int GraphicsDevice::isKeyDown(int key) {
    if (!keyboard || key < 0 || key > 255) return 0;
    return keyState[key] >> 7;
}

void GraphicsDevice::setMusicBar(const int* bar) {
    musicBar = *bar;
}

int GraphicsDevice::getMusicBar() {
    return musicBar;
}

// Falls back to the window, as it was, when the display refuses full screen.
int GraphicsDevice::switchToFullScreen() {
    const D3DPRESENT_PARAMETERS windowed = presentParameters;
    presentParameters.BackBufferWidth = static_cast<UINT>(width);
    presentParameters.BackBufferHeight = static_cast<UINT>(height);
    presentParameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    presentParameters.Windowed = FALSE;
    presentParameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParameters.EnableAutoDepthStencil = TRUE;
    presentParameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    presentParameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

    const LONG windowedStyle =
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_VISIBLE));
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_FRAMECHANGED);
    if (device && FAILED(device->Reset(&presentParameters))) {
        presentParameters = windowed;
        SetWindowLongA(window, GWL_STYLE, windowedStyle);
        device->Reset(&presentParameters);
    }
    return 0;
}

void GraphicsDevice::resetTextureStages() {
    if (!device) return;
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
}

void GraphicsDevice::setBlendMode(BlendMode preset) {
    if (!device) return;
    auto blend = [this](DWORD source, DWORD destination) {
        device->SetRenderState(D3DRS_SRCBLEND, source);
        device->SetRenderState(D3DRS_DESTBLEND, destination);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    };
    switch (preset) {
    case BlendMode::Off:
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        break;
    case BlendMode::Alpha:
        blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        break;
    case BlendMode::Additive:
        blend(D3DBLEND_ONE, D3DBLEND_ONE);
        break;
    case BlendMode::Multiply:
        blend(D3DBLEND_ZERO, D3DBLEND_SRCCOLOR);
        break;
    case BlendMode::Premultiplied:
        blend(D3DBLEND_ONE, D3DBLEND_INVSRCALPHA);
        break;
    case BlendMode::Inverting:
        blend(D3DBLEND_INVDESTCOLOR, D3DBLEND_INVSRCALPHA);
        break;
    case BlendMode::TexturePlusColour:
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_ADD);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        break;
    default:
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        break;
    }
}

D3DPRESENT_PARAMETERS* GraphicsDevice::getPresentParameters(D3DPRESENT_PARAMETERS* out) {
    *out = presentParameters;
    return out;
}

IDirect3DDevice9* GraphicsDevice::getDevice() {
    return device;
}
HWND GraphicsDevice::getWindow() {
    return window;
}
HINSTANCE GraphicsDevice::getInstance() {
    return instance;
}
int GraphicsDevice::getWidth() {
    return width;
}
int GraphicsDevice::getHeight() {
    return height;
}

GraphicsDevice::~GraphicsDevice() {
    if (device) {
        device->Release();
        device = nullptr;
    }
    if (direct3d) {
        direct3d->Release();
        direct3d = nullptr;
    }
    if (keyboard) {
        keyboard->Unacquire();
        keyboard->Release();
        keyboard = nullptr;
    }
    if (directInput) {
        directInput->Release();
        directInput = nullptr;
    }
}
