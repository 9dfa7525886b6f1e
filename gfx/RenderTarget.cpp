#include "gfx/RenderTarget.h"

#include "app/GraphicsDevice.h"

namespace {
void release(IDirect3DSurface9*& surface) {
    if (surface) {
        surface->Release();
        surface = nullptr;
    }
}
} // namespace

int RenderTarget::create(GraphicsDevice* graphics_, int width, int height) {
    graphics = graphics_;
    IDirect3DDevice9* device = graphics ? graphics->getDevice() : nullptr;
    if (!device || width <= 0 || height <= 0) return 1;
    D3DPRESENT_PARAMETERS parameters;
    graphics->getPresentParameters(&parameters);
    const auto w = static_cast<UINT>(width), h = static_cast<UINT>(height);
    if (FAILED(device->GetRenderTarget(0, &savedColorSurface)) ||
        FAILED(device->GetDepthStencilSurface(&savedDepthSurface)) ||
        FAILED(device->CreateDepthStencilSurface(w, h, parameters.AutoDepthStencilFormat,
                                                 D3DMULTISAMPLE_NONE, 0, TRUE, &depthSurface,
                                                 nullptr)) ||
        FAILED(device->CreateTexture(w, h, 1, D3DUSAGE_RENDERTARGET, parameters.BackBufferFormat,
                                     D3DPOOL_DEFAULT, &texture, nullptr)) ||
        FAILED(texture->GetSurfaceLevel(0, &colorSurface)))
        return 1;
    viewport = D3DVIEWPORT9{0, 0, w, h, 0.0f, 1.0f};
    sprite.attach(device, texture);
    sprite.setTextureSize(width, height);
    return 0;
}

int RenderTarget::begin() {
    if (!colorSurface) return 0;
    IDirect3DDevice9* device = graphics->getDevice();
    device->SetRenderTarget(0, colorSurface);
    device->SetDepthStencilSurface(depthSurface);
    device->SetViewport(&viewport);
    return 0;
}

int RenderTarget::end() {
    if (!savedColorSurface) return 0;
    IDirect3DDevice9* device = graphics->getDevice();
    device->SetRenderTarget(0, savedColorSurface); // resets the viewport to the back buffer
    device->SetDepthStencilSurface(savedDepthSurface);
    return 0;
}

Sprite* RenderTarget::getSprite() {
    return &sprite;
}

IDirect3DTexture9* RenderTarget::getTexture() {
    return texture;
}

// The sprite holds a reference of its own on the texture and gives it back itself.
RenderTarget::~RenderTarget() {
    if (texture) {
        texture->Release();
        texture = nullptr;
    }
    release(colorSurface);
    release(depthSurface);
    release(savedColorSurface);
    release(savedDepthSurface);
}
