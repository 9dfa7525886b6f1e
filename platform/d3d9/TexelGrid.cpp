#include "TexelGrid.h"

#include "Device.h"
#include "GLProfile.h"

namespace d3d9 {

TexelGrid::TexelGrid(Device& device, UINT width, UINT height, GLint internalFormat)
    : device_(device), width_(width), height_(height) {
    glGenTextures(1, &texture_);
    device_.bindScratchTexture(texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    textureImage(0, internalFormat, static_cast<GLsizei>(width), static_cast<GLsizei>(height),
                 nullptr);
    framebuffer_ = device_.framebufferOf(texture_);
}

TexelGrid::~TexelGrid() {
    device_.deleteFramebuffer(framebuffer_);
    device_.deleteTexture(texture_);
}

} // namespace d3d9
