#pragma once
// A render target stored at the device's scale keeps a second copy of its picture at its
// Direct3D size, on Direct3D's own texel grid. Draws that resize the picture (a glow's shrinking
// and stretching passes) sample and draw that copy, so each pass blurs as far as at 800 x 600;
// the stored picture takes back what they draw, stretched, and stays what everything else sees.
#include "GLApi.h"
#include "d3d9types.h"

namespace d3d9 {

class Device;

class TexelGrid {
  public:
    TexelGrid(Device& device, UINT width, UINT height, GLint internalFormat);
    ~TexelGrid();
    TexelGrid(const TexelGrid&) = delete;
    TexelGrid& operator=(const TexelGrid&) = delete;

    GLuint texture() const { return texture_; }
    GLuint framebuffer() const { return framebuffer_; }
    UINT width() const { return width_; }
    UINT height() const { return height_; }
    // Stale once the stored picture was drawn into, until it is shrunk onto the grid again.
    bool stale() const { return stale_; }
    void markStale() { stale_ = true; }
    void markFresh() { stale_ = false; }

  private:
    Device& device_;
    UINT width_, height_;
    GLuint texture_ = 0, framebuffer_ = 0;
    bool stale_ = true;
};

} // namespace d3d9
