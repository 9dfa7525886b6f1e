// What a program creates and binds: textures, surfaces, buffers, render targets, streams.
#include "Buffer.h"
#include "Device.h"
#include "Texture.h"

#include <cstdio>

namespace d3d9 {

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DTexture9** texture, HANDLE*) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
    if (width == 0 || height == 0 || width > static_cast<UINT>(maxSize) ||
        height > static_cast<UINT>(maxSize) || (renderTarget && pool != D3DPOOL_DEFAULT))
        return D3DERR_INVALIDCALL;
    if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) {
        std::fprintf(stderr, "d3d9: texture format %u is not emulated\n", format);
        return D3DERR_INVALIDCALL;
    }
    *texture = new Texture(*this, width, height, renderTarget ? 1 : levels, usage, format, pool);
    return D3D_OK;
}

HRESULT Device::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                          D3DMULTISAMPLE_TYPE multiSample, DWORD, BOOL,
                                          IDirect3DSurface9** surface, HANDLE*) {
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (width == 0 || height == 0 || width > static_cast<UINT>(maxSize) ||
        height > static_cast<UINT>(maxSize) || format != D3DFMT_D24S8 ||
        multiSample != D3DMULTISAMPLE_NONE)
        return D3DERR_INVALIDCALL;
    *surface = new Surface(*this, nullptr,
                           Surface::Shape{Surface::Kind::DepthStencil, format, width, height,
                                          D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT});
    return D3D_OK;
}

// Setting render target 0 also resets the viewport to the whole of the new target.
HRESULT Device::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
    auto* target = static_cast<Surface*>(surface);
    if (index != 0 || !target || target->kind() != Surface::Kind::Color) return D3DERR_INVALIDCALL;
    renderTarget_ = target;
    state_.viewport = D3DVIEWPORT9{0, 0, target->width(), target->height(), 0.0f, 1.0f};
    state_.dirty |= DirtyTarget | DirtyViewport;
    return D3D_OK;
}

HRESULT Device::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (index != 0 || !renderTarget_) return D3DERR_INVALIDCALL;
    renderTarget_->AddRef();
    *surface = renderTarget_;
    return D3D_OK;
}

HRESULT Device::SetDepthStencilSurface(IDirect3DSurface9* surface) {
    auto* depth = static_cast<Surface*>(surface);
    if (depth && depth->kind() != Surface::Kind::DepthStencil) return D3DERR_INVALIDCALL;
    depthStencil_ = depth;
    state_.dirty |= DirtyTarget;
    return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface9** surface) {
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = depthStencil_;
    if (!depthStencil_) return D3DERR_NOTAVAILABLE;
    depthStencil_->AddRef();
    return D3D_OK;
}

HRESULT Device::readSurface(IDirect3DSurface9* surface, std::vector<unsigned char>& bgra) {
    auto* source = static_cast<Surface*>(surface);
    if (!source || source->kind() != Surface::Kind::Color) return D3DERR_INVALIDCALL;
    const GLuint framebuffer = framebufferFor(source, nullptr);
    if (!framebuffer) return D3DERR_INVALIDCALL;
    readFramebuffer(framebuffer, static_cast<int>(source->width()),
                    static_cast<int>(source->height()), GL_BGRA, bgra);
    state_.dirty |= DirtyTarget;
    return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer9** buffer, HANDLE*) {
    if (!buffer) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0 || length > (1u << 30)) return D3DERR_INVALIDCALL;
    *buffer = new VertexBuffer(*this, length, usage, fvf, pool);
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer9** buffer, HANDLE*) {
    if (!buffer) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0 || length > (1u << 30) ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    *buffer = new IndexBuffer(*this, length, usage, format, pool);
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                                UINT stride) {
    if (stream != 0) return D3DERR_INVALIDCALL; // the demo draws from one stream
    state_.stream = buffer;
    state_.streamOffset = offset;
    state_.streamStride = stride;
    state_.dirty |= DirtyStream;
    return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* buffer) {
    state_.indices = buffer;
    state_.dirty |= DirtyStream;
    return D3D_OK;
}

} // namespace d3d9
