// The resolution scale: pictures stored larger than their Direct3D size, and the screen quads
// that resize them drawn on Direct3D's own grid.
#include "Device.h"
#include "Texture.h"
#include "VertexFormat.h"
#include "core/RunMode.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>

namespace d3d9 {

// The largest whole picture of the back buffer's shape in the frame asked for (a capture's
// --size) or in the window's drawable pixels (full screen, high-DPI); 1 when they match.
float Device::outputScale(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters) {
    const auto& mode = platform::runMode();
    int width = mode.frameWidth, height = mode.frameHeight;
    if (!mode.capture) SDL_GL_GetDrawableSize(window, &width, &height);
    if (width <= 0 || height <= 0) return 1.0f;
    return static_cast<float>(std::min(static_cast<double>(width) / parameters.BackBufferWidth,
                                       static_cast<double>(height) / parameters.BackBufferHeight));
}

UINT Device::scaled(UINT size) const {
    return std::max(1u, static_cast<UINT>(std::lround(size * static_cast<double>(scale_))));
}

GLint Device::scaledEdge(LONG coordinate) const {
    return static_cast<GLint>(std::lround(coordinate * static_cast<double>(scale_)));
}

// Only a quad that resizes its picture: one copied a texel to a Direct3D pixel keeps every
// stored pixel, and one that samples the picture it draws into is left as Direct3D leaves it.
std::optional<Device::GridDraw> Device::gridDraw(const void* data, UINT stride) {
    auto* texture = static_cast<Texture*>(static_cast<IDirect3DTexture9*>(state_.textures[0]));
    if (!texture || !texture->grid() || (state_.fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZRHW ||
        (state_.fvf & D3DFVF_TEXCOUNT_MASK) == 0 || texture == renderTarget_->texture())
        return std::nullopt;
    const auto quad = quadMapping(data, stride, vertexSize(state_.fvf & ~D3DFVF_TEXCOUNT_MASK));
    if (!quad) return std::nullopt;
    const auto oneToOne = [](const QuadAxis& axis, UINT size) {
        return std::abs((axis.high - axis.low) - std::abs(axis.atHigh - axis.atLow) * size) <= 0.5f;
    };
    if (oneToOne(quad->across, texture->width()) && oneToOne(quad->down, texture->height()))
        return std::nullopt;
    GridDraw draw{texture, nullptr, {}};
    refreshGrid(*texture);
    Texture* target = renderTarget_->texture();
    if (!target || !target->grid() || !drawsColourOnly()) return draw;
    refreshGrid(*target);
    draw.destination = target;
    // Every pixel whose centre the quad may cover, within the viewport.
    const D3DVIEWPORT9& vp = state_.viewport;
    const auto edge = [](float at, DWORD low, DWORD size) {
        return std::clamp(static_cast<int>(std::floor(at)), static_cast<int>(low),
                          static_cast<int>(low + size));
    };
    draw.area = {edge(quad->across.low, vp.X, vp.Width), edge(quad->down.low, vp.Y, vp.Height),
                 edge(quad->across.high + 1, vp.X, vp.Width),
                 edge(quad->down.high + 1, vp.Y, vp.Height)};
    return draw;
}

// The grid has no depth or stencil: a pass that writes neither draws there, without its depth
// test (a picture being resized is flat).
bool Device::drawsColourOnly() const {
    const auto& rs = state_.renderStates;
    const bool depthWrites =
        depthStencil_ && rs[D3DRS_ZENABLE] != D3DZB_FALSE && rs[D3DRS_ZWRITEENABLE] != FALSE;
    return !depthWrites && !rs[D3DRS_STENCILENABLE];
}

// The stored picture shrunk onto the grid, as it stands since it was last drawn into.
void Device::refreshGrid(Texture& texture) {
    TexelGrid& grid = *texture.grid();
    if (!grid.stale()) return;
    const Surface& stored = texture.topLevel();
    blit(framebufferFor(&stored, nullptr),
         {0, 0, static_cast<int>(stored.storedWidth()), static_cast<int>(stored.storedHeight())},
         grid.framebuffer(), {0, 0, static_cast<int>(grid.width()), static_cast<int>(grid.height())});
    grid.markFresh();
}

void Device::beginGridDraw(const GridDraw& draw) {
    cache_.bindTexture(0, draw.source->grid()->texture());
    if (!draw.destination) return;
    cache_.bindFramebuffer(draw.destination->grid()->framebuffer());
    const D3DVIEWPORT9& vp = state_.viewport;
    cache_.setViewport(static_cast<GLint>(vp.X), static_cast<GLint>(vp.Y),
                       static_cast<GLsizei>(vp.Width), static_cast<GLsizei>(vp.Height), vp.MinZ,
                       vp.MaxZ);
    // Drawn as at scale 1.
    glUniform1f(program_->resolutionScale, 1.0f);
    if (program_->sampleScale >= 0) glUniform1f(program_->sampleScale, 0.0f);
}

// What was drawn on the grid goes back into the stored pixels, stretched; the grid stays as drawn.
void Device::endGridDraw(const GridDraw& draw) {
    state_.dirty |= DirtyTextures;
    if (!draw.destination) return;
    state_.dirty |= DirtyTarget | DirtyViewport | DirtyTransforms | DirtyConstants;
    const PixelRect& area = draw.area;
    if (area.right > area.left && area.bottom > area.top)
        blit(draw.destination->grid()->framebuffer(), area,
             framebufferFor(&draw.destination->topLevel(), nullptr),
             {scaledEdge(area.left), scaledEdge(area.top), scaledEdge(area.right),
              scaledEdge(area.bottom)});
    draw.destination->grid()->markFresh();
}

void Device::blit(GLuint from, const PixelRect& source, GLuint to, const PixelRect& target) {
    if (!from || !to) return;
    cache_.setScissor(false, 0, 0, 0, 0);
    cache_.bindFramebuffer(to);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    glBlitFramebuffer(source.left, source.top, source.right, source.bottom, target.left, target.top,
                      target.right, target.bottom, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, to); // both as the cache has them
    state_.dirty |= DirtyTarget;
}

} // namespace d3d9
