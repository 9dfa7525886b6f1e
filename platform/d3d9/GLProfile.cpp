#include "GLProfile.h"

#include <cstdlib>
#include <string_view>

namespace d3d9 {
namespace {

const GLProfile* chosen() {
#ifdef __EMSCRIPTEN__
    return &webGL2;
#else
    // WebGL 2's paths in desktop OpenGL's shading language and context.
    static constexpr GLProfile webGL2OnDesktop = [] {
        GLProfile paths = webGL2;
        paths.shaderHeader = desktopGL.shaderHeader;
        paths.esContext = false;
        paths.programPointSizeSwitch = true;
        return paths;
    }();
    const char* name = std::getenv("LUMIFLUX_GL");
    return name && std::string_view(name) == "webgl2" ? &webGL2OnDesktop : &desktopGL;
#endif
}

const GLProfile* const current = chosen();

// B, G, R, A pixels as R, G, B, A, or as R, G, B where alpha is not stored.
std::vector<unsigned char> swapped(const unsigned char* bgra, std::size_t pixels, bool keepAlpha) {
    const std::size_t channels = keepAlpha ? 4 : 3;
    std::vector<unsigned char> out(pixels * channels);
    for (std::size_t i = 0; i < pixels; ++i) {
        unsigned char* to = out.data() + i * channels;
        to[0] = bgra[i * 4 + 2], to[1] = bgra[i * 4 + 1], to[2] = bgra[i * 4];
        if (keepAlpha) to[3] = bgra[i * 4 + 3];
    }
    return out;
}

template <typename Upload>
void upload(GLint internal, GLsizei width, GLsizei height, const unsigned char* bgra,
            Upload&& call) {
    if (current->bgraFormats) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        call(GL_BGRA, bgra);
        return;
    }
    // OpenGL ES takes RGB8 only from GL_RGB pixels and RGBA8 only from GL_RGBA ones.
    const bool alpha = internal != GL_RGB8;
    const GLenum format = alpha ? GL_RGBA : GL_RGB;
    if (!bgra) {
        call(format, nullptr);
        return;
    }
    const auto pixels = swapped(bgra, static_cast<std::size_t>(width) * height, alpha);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    call(format, pixels.data());
}

} // namespace

const GLProfile& glProfile() {
    return *current;
}

void textureImage(GLint level, GLint internal, GLsizei width, GLsizei height,
                  const unsigned char* bgra) {
    upload(internal, width, height, bgra, [&](GLenum format, const unsigned char* pixels) {
        glTexImage2D(GL_TEXTURE_2D, level, internal, width, height, 0, format, GL_UNSIGNED_BYTE,
                     pixels);
    });
}

void textureSubImage(GLint level, GLint internal, GLsizei width, GLsizei height,
                     const unsigned char* bgra) {
    upload(internal, width, height, bgra, [&](GLenum format, const unsigned char* pixels) {
        glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, width, height, format, GL_UNSIGNED_BYTE,
                        pixels);
    });
}

void readPixels(int width, int height, bool rgb, std::vector<unsigned char>& out) {
    const auto pixels = static_cast<std::size_t>(width) * height;
    out.resize(pixels * (rgb ? 3 : 4));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (rgb ? current->rgbReadback : current->bgraFormats) {
        glReadPixels(0, 0, width, height, rgb ? GL_RGB : GL_BGRA, GL_UNSIGNED_BYTE, out.data());
        return;
    }
    // WebGL reads RGBA bytes only.
    std::vector<unsigned char> rgba(pixels * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (std::size_t i = 0; i < pixels; ++i) {
        const unsigned char* from = rgba.data() + i * 4;
        unsigned char* to = out.data() + i * (rgb ? 3 : 4);
        if (rgb) {
            to[0] = from[0], to[1] = from[1], to[2] = from[2];
        } else {
            to[0] = from[2], to[1] = from[1], to[2] = from[0], to[3] = from[3];
        }
    }
}

} // namespace d3d9
