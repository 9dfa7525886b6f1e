#include "Texture.h"

#include "Device.h"
#include "GLProfile.h"

#include <algorithm>

namespace d3d9 {
namespace {
UINT pitchPadding = 0;
}

void setLockPitchPadding(UINT bytes) {
    pitchPadding = bytes;
}

UINT fullChainLength(UINT width, UINT height) {
    UINT levels = 1;
    for (UINT size = std::max(width, height); size > 1; size >>= 1)
        ++levels;
    return levels;
}

Texture::Texture(Device& device, UINT width, UINT height, UINT levels, DWORD usage,
                 D3DFORMAT format, D3DPOOL pool)
    : DeviceResource(&device), device_(device), format_(format), pool_(pool) {
    const UINT count = levels == 0 ? fullChainLength(width, height)
                                   : std::min(levels, fullChainLength(width, height));
    glGenTextures(1, &name_);
    device_.bindScratchTexture(name_);
    const GLint internal = Surface::internalFormat(format);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(count - 1));
    const bool inMemory = pool != D3DPOOL_DEFAULT;
    levels_.resize(count);
    for (UINT i = 0; i < count; ++i) {
        const UINT w = std::max(1u, width >> i), h = std::max(1u, height >> i);
        // What the demo draws into is stored at the device's scale; images keep their size.
        const bool drawnInto = (usage & D3DUSAGE_RENDERTARGET) != 0 && !inMemory;
        const UINT storedW = drawnInto ? device_.scaled(w) : w;
        const UINT storedH = drawnInto ? device_.scaled(h) : h;
        Level& level = levels_[i];
        // Managed levels start zeroed in memory and in OpenGL, so every chain is complete.
        if (inMemory) level.memory.assign(static_cast<std::size_t>(w) * h * 4, 0);
        textureImage(static_cast<GLint>(i), internal, static_cast<GLsizei>(storedW),
                     static_cast<GLsizei>(storedH), inMemory ? level.memory.data() : nullptr);
        level.surface = std::make_unique<Surface>(
            device_, *this, i, Surface::Shape{Surface::Kind::Color, format, w, h, usage, pool},
            storedW, storedH);
    }
    if (count == 1 && !inMemory && (usage & D3DUSAGE_RENDERTARGET) &&
        device_.resolutionScale() != 1.0f)
        grid_ = std::make_unique<TexelGrid>(device_, width, height, internal);
}

Texture::~Texture() {
    levels_.clear(); // the level surfaces first: they may be bound as the render target
    grid_.reset();
    device_.forgetTexture(this);
    device_.deleteTexture(name_);
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* description) {
    if (level >= levels_.size()) return D3DERR_INVALIDCALL;
    HRESULT result = levels_[level].surface->GetDesc(description);
    if (description) description->Type = D3DRTYPE_SURFACE;
    return result;
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (level >= levels_.size()) return D3DERR_INVALIDCALL;
    AddRef(); // a level's reference is the texture's
    *surface = levels_[level].surface.get();
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (!locked || level >= levels_.size()) return D3DERR_INVALIDCALL;
    Level& l = levels_[level];
    if (pool_ == D3DPOOL_DEFAULT || l.locked)
        return D3DERR_INVALIDCALL; // default-pool textures live only on the card
    const auto w = static_cast<LONG>(l.surface->width()),
               h = static_cast<LONG>(l.surface->height());
    RECT whole{0, 0, w, h};
    const RECT& r = rect ? *rect : whole;
    if (r.left < 0 || r.top < 0 || r.right > w || r.bottom > h || r.left >= r.right ||
        r.top >= r.bottom)
        return D3DERR_INVALIDCALL;
    const std::size_t row = static_cast<std::size_t>(w) * 4, pitch = row + pitchPadding;
    std::uint8_t* bits = l.memory.data();
    if (pitchPadding > 0) {
        l.padded.assign(pitch * static_cast<std::size_t>(h), 0xCD);
        for (LONG y = 0; y < h; ++y)
            std::copy_n(l.memory.data() + y * row, row, l.padded.data() + y * pitch);
        bits = l.padded.data();
    }
    locked->Pitch = static_cast<int>(pitch);
    locked->pBits =
        bits + static_cast<std::size_t>(r.top) * pitch + static_cast<std::size_t>(r.left) * 4;
    l.locked = true;
    l.readOnly = (flags & D3DLOCK_READONLY) != 0;
    return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT level) {
    if (level >= levels_.size() || !levels_[level].locked) return D3DERR_INVALIDCALL;
    Level& l = levels_[level];
    l.locked = false;
    if (!l.padded.empty()) {
        const std::size_t row = l.memory.size() / l.surface->height(),
                          pitch = l.padded.size() / l.surface->height();
        if (!l.readOnly)
            for (std::size_t y = 0; y < l.surface->height(); ++y)
                std::copy_n(l.padded.data() + y * pitch, row, l.memory.data() + y * row);
        l.padded.clear();
    }
    if (l.readOnly) return D3D_OK;
    if (level == 0)
        ink_ = findInk(l.memory.data(), static_cast<int>(l.surface->width()),
                       static_cast<int>(l.surface->height()));
    device_.bindScratchTexture(name_);
    textureSubImage(static_cast<GLint>(level), Surface::internalFormat(l.surface->format()),
                    static_cast<GLsizei>(l.surface->width()),
                    static_cast<GLsizei>(l.surface->height()), l.memory.data());
    return D3D_OK;
}

} // namespace d3d9
