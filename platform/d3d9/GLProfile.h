#pragma once
// What the OpenGL underneath can do, where desktop OpenGL 3.3 and WebGL 2 differ. Each missing
// capability has one stand-in path, chosen here rather than by the build, so tests on the
// desktop can run the browser's paths too.
#include "GLApi.h"

#include <cstddef>
#include <vector>

namespace d3d9 {

struct GLProfile {
    const char* shaderHeader;    // the #version line and, for OpenGL ES, default precisions
    bool esContext;              // ask for an OpenGL ES 3.0 context
    bool bgraFormats;            // BGRA texture uploads, readback and vertex colours
    bool borderAddressing;       // CLAMP_TO_BORDER; else the fragment program blends the border
    bool pointCoordOrigin;       // gl_PointCoord's origin can be put at the lower left
    bool provokingVertex;        // flat shading can take a triangle's first vertex
    bool rgbReadback;            // glReadPixels reads GL_RGB; else RGBA, packed here
    bool mappedReads;            // pixel-pack buffers can be mapped for reading
    bool programPointSizeSwitch; // GL_PROGRAM_POINT_SIZE must be enabled
};

inline constexpr GLProfile desktopGL{.shaderHeader = "#version 330 core\n",
                                     .esContext = false,
                                     .bgraFormats = true,
                                     .borderAddressing = true,
                                     .pointCoordOrigin = true,
                                     .provokingVertex = true,
                                     .rgbReadback = true,
                                     .mappedReads = true,
                                     .programPointSizeSwitch = true};
inline constexpr GLProfile webGL2{.shaderHeader = "#version 300 es\nprecision highp float;\n"
                                                  "precision highp int;\n"
                                                  "precision highp sampler2D;\n",
                                  .esContext = true,
                                  .bgraFormats = false,
                                  .borderAddressing = false,
                                  .pointCoordOrigin = false,
                                  .provokingVertex = false,
                                  .rgbReadback = false,
                                  .mappedReads = false,
                                  .programPointSizeSwitch = false};

// The profile in use: WebGL 2 in a browser build, desktop OpenGL otherwise. LUMIFLUX_GL=webgl2
// takes every WebGL 2 path on desktop OpenGL, so the browser's pictures can be checked here.
const GLProfile& glProfile();

// Texture storage from D3DCOLOR (B, G, R, A bytes) pixels, or uninitialised where pixels is null.
// internal is GL_RGBA8 or GL_RGB8; rows are packed without padding.
void textureImage(GLint level, GLint internal, GLsizei width, GLsizei height,
                  const unsigned char* bgra);
void textureSubImage(GLint level, GLint internal, GLsizei width, GLsizei height,
                     const unsigned char* bgra);
// The bound read framebuffer's pixels, top row last as OpenGL reads them: 3 bytes a pixel in
// R, G, B order (rgb), or 4 in B, G, R, A order.
void readPixels(int width, int height, bool rgb, std::vector<unsigned char>& out);

} // namespace d3d9
