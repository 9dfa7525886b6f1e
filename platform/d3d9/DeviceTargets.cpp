// Textures, surfaces and the render-target bindings of the device.
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

GLuint Device::framebufferFor(const Surface* color, const Surface* depth) {
    if (!color) return 0;
    const auto key = std::make_tuple(color->glName(), color->level(), depth ? depth->glName() : 0u);
    auto found = framebuffers_.find(key);
    if (found != framebuffers_.end()) return found->second;
    const GLuint framebuffer =
        makeFramebuffer(color->glName(), color->level(), depth);
    if (!framebuffer) {
        std::fprintf(stderr, "d3d9: a %ux%u render target cannot be drawn into\n", color->width(),
                     color->height());
        return 0;
    }
    framebuffers_.emplace(key, framebuffer);
    return framebuffer;
}

GLuint Device::framebufferOf(GLuint texture) {
    return makeFramebuffer(texture, 0, nullptr);
}

GLuint Device::makeFramebuffer(GLuint texture, GLint level, const Surface* depth) {
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    cache_.bindFramebuffer(framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, level);
    if (depth) // a depth surface larger than the target is fine
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  depth->glName());
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return framebuffer;
    deleteFramebuffer(framebuffer);
    return 0;
}

void Device::deleteFramebuffer(GLuint framebuffer) {
    cache_.forgetFramebuffer(framebuffer);
    glDeleteFramebuffers(1, &framebuffer);
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

void Device::bindScratchTexture(GLuint texture) {
    // The last unit: stage 0's binding stays as the cache knows it.
    cache_.bindTexture(7, texture);
    glActiveTexture(GL_TEXTURE7);
}

void Device::deleteTexture(GLuint texture) {
    cache_.forgetTexture(texture);
    glDeleteTextures(1, &texture);
}

// A surface going away takes its framebuffers and bindings with it; drawing goes back to the
// device's own buffers.
void Device::forget(Surface* surface) {
    for (auto it = framebuffers_.begin(); it != framebuffers_.end();) {
        const auto& [color, level, depth] = it->first;
        const bool uses = surface->kind() == Surface::Kind::Color
                              ? color == surface->glName() && level == surface->level()
                              : depth == surface->glName();
        if (uses) {
            cache_.forgetFramebuffer(it->second);
            glDeleteFramebuffers(1, &it->second);
            it = framebuffers_.erase(it);
        } else {
            ++it;
        }
    }
    if (renderTarget_ == surface) renderTarget_ = backBuffer_.get();
    if (depthStencil_ == surface) depthStencil_ = autoDepth_.get();
    state_.dirty |= DirtyTarget;
}

void Device::forgetTexture(IDirect3DBaseTexture9* texture) {
    for (auto& bound : state_.textures)
        if (bound == texture) {
            bound = nullptr;
            state_.dirty |= DirtyTextures | DirtyProgram;
        }
}

} // namespace d3d9
