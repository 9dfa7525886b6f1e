#pragma once
// The OpenGL context the device draws with and its 800 x 600 back buffer, an offscreen
// framebuffer stored top row first like every other surface.
#include <GL/glcorearb.h>
#include <vector>

struct SDL_Window;

namespace d3d9 {

class GLContext {
public:
    bool create(SDL_Window* window, int width, int height);
    void destroy();
    bool alive() const { return context_ != nullptr; }

    GLuint backBuffer() const { return framebuffer_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Shows the back buffer in the window, scaled with its aspect kept when the window is larger.
    void presentToWindow();
    void setFullScreen(bool fullScreen);
    bool fullScreen() const { return fullScreen_; }
    // The back buffer's pixels, RGB, top row first.
    void readBackBuffer(std::vector<unsigned char>& rgb) const;

private:
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    GLuint framebuffer_ = 0, color_ = 0, depthStencil_ = 0, vertexArray_ = 0;
    int width_ = 0, height_ = 0;
    bool fullScreen_ = false;
};

} // namespace d3d9
