#pragma once
// The OpenGL underneath: desktop OpenGL 3.3 core, or OpenGL ES 3.0 as a browser's WebGL 2 offers
// it. What differs in behaviour is in GLProfile; this header only makes both spell the same.
#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>

#define GL_BGRA 0x80E1
#define GL_CLAMP_TO_BORDER 0x812D
#define GL_TEXTURE_BORDER_COLOR 0x1004
#define GL_PROGRAM_POINT_SIZE 0x8642
#define GL_POINT_SPRITE_COORD_ORIGIN 0x8CA0
#define GL_LOWER_LEFT 0x8CA2
#define GL_FIRST_VERTEX_CONVENTION 0x8E4D
#define GL_POINT_SIZE_RANGE GL_ALIASED_POINT_SIZE_RANGE

inline void glDepthRange(double nearZ, double farZ) {
    glDepthRangef(static_cast<float>(nearZ), static_cast<float>(farZ));
}
inline void glClearDepth(double depth) { glClearDepthf(static_cast<float>(depth)); }
// WebGL 2 has neither call; its profile says so, and the callers take the other path.
inline void glProvokingVertex(GLenum) {}
inline void glPointParameteri(GLenum, GLint) {}
// Nor does it map buffers (declared by OpenGL ES, defined by nothing in the browser): the
// profile reads pixels at once instead.
extern "C" inline void* glMapBufferRange(GLenum, GLintptr, GLsizeiptr, GLbitfield) {
    return nullptr;
}
extern "C" inline GLboolean glUnmapBuffer(GLenum) { return GL_FALSE; }
#else
#include <GL/glcorearb.h>
#endif
