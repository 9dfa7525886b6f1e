#pragma once
// A colour or depth-stencil image the device can draw into. Its references belong to its
// container, as on the platform: a texture level counts on its texture, the back buffer and the
// automatic depth buffer on the device; a depth surface made on its own counts for itself and
// keeps the device alive.
#include "DeviceResource.h"

#include "GLApi.h"
#include <atomic>

namespace d3d9 {

class Device;
class Texture;

class Surface final : public IDirect3DSurface9 {
  public:
    enum class Kind { Color, DepthStencil };

    struct Shape {
        Kind kind;
        D3DFORMAT format;
        UINT width, height;
        DWORD usage;
        D3DPOOL pool;
    };

    // A level of texture (which owns the OpenGL texture), stored at storedWidth x storedHeight.
    Surface(Device& device, Texture& texture, UINT level, const Shape& shape, UINT storedWidth,
            UINT storedHeight);
    // An image of its own: colour as a texture, depth-stencil as a renderbuffer, stored at the
    // device's resolution scale. container is the device for its own buffers, null for a
    // standalone surface.
    Surface(Device& device, IUnknown* container, const Shape& shape);
    ~Surface() override;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDesc(D3DSURFACE_DESC* description) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    Kind kind() const { return shape_.kind; }
    D3DFORMAT format() const { return shape_.format; }
    UINT width() const { return shape_.width; }
    UINT height() const { return shape_.height; }
    // OpenGL's pixels: the Direct3D size, times the device's scale for what it draws into.
    UINT storedWidth() const { return storedWidth_; }
    UINT storedHeight() const { return storedHeight_; }
    GLuint glName() const { return name_; } // texture (colour) or renderbuffer (depth)
    GLint level() const { return static_cast<GLint>(level_); }
    Texture* texture() const { return texture_; } // null unless a texture level
    bool valid() const { return name_ != 0; }
    // X8R8G8B8 stores no alpha, so blending and sampling read alpha as 1.
    static GLint internalFormat(D3DFORMAT format) {
        return format == D3DFMT_A8R8G8B8 ? GL_RGBA8 : GL_RGB8;
    }

  private:
    Device& device_;
    Texture* texture_ = nullptr;
    IUnknown* container_ = nullptr;
    bool standalone_ = false;
    UINT level_ = 0;
    Shape shape_;
    UINT storedWidth_, storedHeight_;
    GLuint name_ = 0;
    std::atomic<ULONG> references_{1};
};

// Surfaces and textures alive in the process: zero once an owner has released everything.
int liveResources();

} // namespace d3d9
