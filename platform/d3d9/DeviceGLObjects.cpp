// The OpenGL objects behind the resources: bindings through the state cache, framebuffers by
// the textures they draw into, and what a released resource leaves behind.
#include "Buffer.h"
#include "Device.h"
#include "Texture.h"

namespace d3d9 {

void Device::bindBuffer(GLenum target, GLuint buffer) {
    if (target == GL_ARRAY_BUFFER) {
        cache_.bindArrayBuffer(buffer);
    } else if (buffer != elementBuffer_) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer); // part of the one vertex array's state
        elementBuffer_ = buffer;
    }
}

void Device::deleteBuffer(GLenum target, GLuint buffer) {
    if (target == GL_ARRAY_BUFFER)
        cache_.forgetArrayBuffer(buffer);
    else if (elementBuffer_ == buffer)
        elementBuffer_ = 0;
    if (layoutBuffer_ == buffer)
        layoutFvf_ = 0, layoutBuffer_ = 0; // the vertex array no longer points into it
    glDeleteBuffers(1, &buffer);
}

void Device::forgetBuffer(IUnknown* buffer) {
    if (state_.stream == buffer) state_.stream = nullptr;
    if (state_.indices == buffer) state_.indices = nullptr;
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
