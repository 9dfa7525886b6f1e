#include "GLContext.h"

#include <SDL2/SDL.h>
#include <algorithm>

namespace d3d9 {

bool GLContext::create(SDL_Window* window, int width, int height) {
    if (!window || width <= 0 || height <= 0)
        return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context)
        return false;
    window_ = window;
    context_ = context;
    width_ = width;
    height_ = height;
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(0); // Direct3D's immediate presentation: no vsync

    glGenTextures(1, &color_);
    glBindTexture(GL_TEXTURE_2D, color_);
    // X8R8G8B8: no alpha stored, so destination alpha and later sampling read 1.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenRenderbuffers(1, &depthStencil_);
    glBindRenderbuffer(GL_RENDERBUFFER, depthStencil_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color_, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              depthStencil_);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    if (!complete) {
        destroy();
        return false;
    }
    return true;
}

void GLContext::destroy() {
    if (!context_)
        return;
    SDL_GL_MakeCurrent(window_, context_);
    glDeleteVertexArrays(1, &vertexArray_);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(1, &depthStencil_);
    glDeleteTextures(1, &color_);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    context_ = nullptr;
    framebuffer_ = color_ = depthStencil_ = vertexArray_ = 0;
}

void GLContext::setFullScreen(bool fullScreen) { fullScreen_ = fullScreen; }

void GLContext::presentToWindow() {
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
    if (drawableWidth <= 0 || drawableHeight <= 0)
        return;
    // The largest picture of the back buffer's aspect that fits, centred, black around it.
    const double scale = std::min(static_cast<double>(drawableWidth) / width_,
                                  static_cast<double>(drawableHeight) / height_);
    const int w = static_cast<int>(width_ * scale), h = static_cast<int>(height_ * scale);
    const int x = (drawableWidth - w) / 2, y = (drawableHeight - h) / 2;

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // Back-buffer row 0 is the top; the window's row 0 is the bottom, so the blit flips.
    glBlitFramebuffer(0, 0, width_, height_, x, y + h, x + w, y, GL_COLOR_BUFFER_BIT,
                      w == width_ && h == height_ ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(window_);
}

void GLContext::readBackBuffer(std::vector<unsigned char>& rgb) const {
    rgb.resize(static_cast<std::size_t>(width_) * height_ * 3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
}

} // namespace d3d9
