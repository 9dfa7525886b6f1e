#include "Surface.h"

#include "Device.h"
#include "GLProfile.h"
#include "Texture.h"

namespace d3d9 {
namespace {
std::atomic<int> live{0};
}

int liveResources() {
    return live.load();
}
void countResource(int change) {
    live += change;
}

Surface::Surface(Device& device, Texture& texture, UINT level, const Shape& shape, UINT storedWidth,
                 UINT storedHeight)
    : device_(device), texture_(&texture), container_(&texture), level_(level), shape_(shape),
      storedWidth_(storedWidth), storedHeight_(storedHeight), name_(texture.glName()) {
    countResource(1);
}

Surface::Surface(Device& device, IUnknown* container, const Shape& shape)
    : device_(device), container_(container), standalone_(container == nullptr), shape_(shape),
      storedWidth_(device.scaled(shape.width)), storedHeight_(device.scaled(shape.height)) {
    countResource(1);
    const auto w = static_cast<GLsizei>(storedWidth_), h = static_cast<GLsizei>(storedHeight_);
    if (shape.kind == Kind::DepthStencil) {
        glGenRenderbuffers(1, &name_);
        glBindRenderbuffer(GL_RENDERBUFFER, name_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, w, h);
    } else {
        glGenTextures(1, &name_);
        device.bindScratchTexture(name_);
        textureImage(0, internalFormat(shape.format), w, h, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    }
    if (standalone_) device_.AddRef();
}

Surface::~Surface() {
    device_.forget(this);
    if (!texture_ && name_) {
        if (shape_.kind == Kind::DepthStencil)
            glDeleteRenderbuffers(1, &name_);
        else
            device_.deleteTexture(name_);
    }
    countResource(-1);
}

HRESULT Surface::QueryInterface(REFIID, void** object) {
    if (object) *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Surface::AddRef() {
    return standalone_ ? ++references_ : container_->AddRef();
}

ULONG Surface::Release() {
    if (!standalone_) return container_->Release();
    const ULONG left = --references_;
    if (left == 0) {
        Device& device = device_;
        delete this;
        device.Release(); // last: the device may go with it
    }
    return left;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* description) {
    if (!description) return D3DERR_INVALIDCALL;
    description->Format = shape_.format;
    description->Type = D3DRTYPE_SURFACE;
    description->Usage = shape_.usage;
    description->Pool = shape_.pool;
    description->MultiSampleType = D3DMULTISAMPLE_NONE;
    description->MultiSampleQuality = 0;
    description->Width = shape_.width;
    description->Height = shape_.height;
    return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    return texture_ ? texture_->LockRect(level_, locked, rect, flags) : D3DERR_INVALIDCALL;
}

HRESULT Surface::UnlockRect() {
    return texture_ ? texture_->UnlockRect(level_) : D3DERR_INVALIDCALL;
}

} // namespace d3d9
