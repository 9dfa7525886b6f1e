#include "GLContext.h"

#include "GLProfile.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <string_view>
#ifdef __EMSCRIPTEN__
#include <cmath>
#include <emscripten.h>
#include <emscripten/html5.h>
#endif

namespace d3d9 {
namespace {

#ifdef __EMSCRIPTEN__
// The page stretches its canvas over the window. The window takes the canvas's size on the page,
// and being high-DPI, SDL gives the canvas that times devicePixelRatio: the display's own pixels,
// so the show is drawn as sharp as it is shown rather than at 800 x 600 blown up.
void matchDisplayPixels(SDL_Window* window) {
    double width = 0, height = 0;
    if (emscripten_get_element_css_size("#canvas", &width, &height) != EMSCRIPTEN_RESULT_SUCCESS ||
        width < 1 || height < 1)
        return;
    SDL_SetWindowSize(window, static_cast<int>(std::lround(width)),
                      static_cast<int>(std::lround(height)));
}
#endif

} // namespace

bool GLContext::create(SDL_Window* window) {
    if (!window) return false;
    const bool es = glProfile().esContext;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, es ? 0 : 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK,
                        es ? SDL_GL_CONTEXT_PROFILE_ES : SDL_GL_CONTEXT_PROFILE_CORE);
#ifdef __EMSCRIPTEN__
    matchDisplayPixels(window);
#endif
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) return false;
    window_ = window;
    context_ = context;
    onScreen_ = std::string_view(SDL_GetCurrentVideoDriver()) != "offscreen";
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(0); // Direct3D's immediate presentation: no vsync
    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    return true;
}

void GLContext::destroy() {
    if (!context_) return;
    SDL_GL_MakeCurrent(window_, context_);
    glDeleteVertexArrays(1, &vertexArray_);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    context_ = nullptr;
    vertexArray_ = 0;
}

void GLContext::presentToWindow(GLuint framebuffer, int width, int height) {
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
    if (drawableWidth <= 0 || drawableHeight <= 0) return;
    // The largest picture of the back buffer's aspect that fits, centred, black around it.
    const double scale = std::min(static_cast<double>(drawableWidth) / width,
                                  static_cast<double>(drawableHeight) / height);
    const int w = static_cast<int>(width * scale), h = static_cast<int>(height * scale);
    const int x = (drawableWidth - w) / 2, y = (drawableHeight - h) / 2;

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // Framebuffer row 0 is the top; the window's row 0 is the bottom, so the blit flips.
    glBlitFramebuffer(0, 0, width, height, x, y + h, x + w, y, GL_COLOR_BUFFER_BIT,
                      w == width && h == height ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(window_);
}

// A browser takes a page's drawing and returns at once. Drawn without a GPU (SwiftShader), the
// frames fall behind unseen until the browser reads the canvas back to show it, and then waits
// seconds for all of them. So the page waits, handing the browser the time, until the frame it
// shows is drawn: the show steps by what drawing really costs and nothing piles up. (Letting
// one or two more frames run ahead was measured too: no faster, and less even.)
void GLContext::waitUntilDrawn() {
#ifdef __EMSCRIPTEN__
    constexpr double longestWaitMs = 2000; // then go on: a lost context never signals
    GLsync drawn = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (!drawn) return;
    glFlush();
    const double giveUp = emscripten_get_now() + longestWaitMs;
    while (glClientWaitSync(drawn, 0, 0) == GL_TIMEOUT_EXPIRED && emscripten_get_now() < giveUp)
        emscripten_sleep(1);
    glDeleteSync(drawn);
#endif
}

void readFramebuffer(GLuint framebuffer, int width, int height, GLenum format,
                     std::vector<unsigned char>& out) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    readPixels(width, height, format == GL_RGB, out);
}

} // namespace d3d9
