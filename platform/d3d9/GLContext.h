#pragma once
// The OpenGL context the device draws with, and the window it shows the back buffer in.
#include "GLApi.h"
#include <vector>

struct SDL_Window;

namespace d3d9 {

class GLContext {
  public:
    bool create(SDL_Window* window);
    void destroy();
    bool alive() const { return context_ != nullptr; }

    // Shows a framebuffer's picture in the window, scaled with its aspect kept when the window
    // is larger; framebuffers are stored top row first.
    void presentToWindow(GLuint framebuffer, int width, int height);
    // In a browser page, waits until what was drawn so far is drawn; desktop OpenGL's swap
    // keeps the drawing in step by itself.
    void waitUntilDrawn();
    void setFullScreen(bool fullScreen) { fullScreen_ = fullScreen; }
    bool fullScreen() const { return fullScreen_; }
    // Whether the window is seen: not on SDL's offscreen driver, as a native capture is.
    bool onScreen() const { return onScreen_; }

  private:
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    GLuint vertexArray_ = 0;
    bool fullScreen_ = false;
    bool onScreen_ = false;
};

// A framebuffer's pixels, top row first, in format (GL_RGB or GL_BGRA), tightly packed.
void readFramebuffer(GLuint framebuffer, int width, int height, GLenum format,
                     std::vector<unsigned char>& out);

} // namespace d3d9
