// The show's draw states met while loading, and a run's states written down to make that list.
#include "Device.h"
#include "GLProfile.h"
#include "Texture.h"

#include <array>
#include <cstdlib>
#include <sstream>

namespace d3d9 {
namespace {

// The states the show draws in at 800 x 600, written by a capture of the whole show with
// LUMIFLUX_DRAW_STATES set (tests/e2e/ShowTest.cpp checks the list still holds them all).
constexpr const char* showDrawStates =
#include "DrawStateManifest.inc"
    ;

constexpr std::array<GLint, 6> minFilters = {GL_NEAREST,
                                             GL_LINEAR,
                                             GL_NEAREST_MIPMAP_NEAREST,
                                             GL_LINEAR_MIPMAP_NEAREST,
                                             GL_NEAREST_MIPMAP_LINEAR,
                                             GL_LINEAR_MIPMAP_LINEAR};
constexpr std::array<GLint, 2> magFilters = {GL_NEAREST, GL_LINEAR};
constexpr std::array<GLint, 4> wraps = {GL_REPEAT, GL_MIRRORED_REPEAT, GL_CLAMP_TO_EDGE,
                                        GL_CLAMP_TO_BORDER};
constexpr std::array<GLenum, 3> primitives = {GL_POINTS, GL_LINES, GL_TRIANGLES};

template <std::size_t N> std::uint32_t codeOf(const std::array<GLint, N>& values, GLint value) {
    for (std::size_t i = 0; i < N; ++i)
        if (values[i] == value) return static_cast<std::uint32_t>(i);
    return 0;
}

template <std::size_t N> GLint valueOf(const std::array<GLint, N>& values, std::uint32_t code) {
    return values[code < N ? code : 0];
}

DrawState::Primitive primitiveOf(D3DPRIMITIVETYPE type) {
    switch (type) {
    case D3DPT_POINTLIST:
        return DrawState::Points;
    case D3DPT_LINELIST:
    case D3DPT_LINESTRIP:
        return DrawState::Lines;
    default:
        return DrawState::Triangles;
    }
}

bool powerOfTwo(UINT n) {
    return n != 0 && (n & (n - 1)) == 0;
}

} // namespace

void Device::noteDrawState(D3DPRIMITIVETYPE type) {
    if (!drawStateLog_) return;
    DrawState s;
    s.program = programKey_;
    s.output = cache_.outputWord();
    s.target = (renderTarget_->format() == D3DFMT_A8R8G8B8 ? DrawState::targetAlpha : 0u) |
               (depthStencil_ ? DrawState::targetDepth : 0u);
    if (auto* texture = static_cast<Texture*>(static_cast<IDirect3DTexture9*>(state_.textures[0]))) {
        const Surface& top = texture->topLevel();
        s.texture = DrawState::textureBound |
                    (texture->format() == D3DFMT_A8R8G8B8 ? DrawState::textureAlpha : 0u) |
                    (powerOfTwo(top.storedWidth()) ? DrawState::texturePowerOfTwoWidth : 0u) |
                    (powerOfTwo(top.storedHeight()) ? DrawState::texturePowerOfTwoHeight : 0u) |
                    (texture->GetLevelCount() > 1 ? DrawState::textureLevels : 0u);
    }
    GLint min = 0, mag = 0, wrapS = 0, wrapT = 0;
    glGetSamplerParameteriv(samplers_[0], GL_TEXTURE_MIN_FILTER, &min);
    glGetSamplerParameteriv(samplers_[0], GL_TEXTURE_MAG_FILTER, &mag);
    glGetSamplerParameteriv(samplers_[0], GL_TEXTURE_WRAP_S, &wrapS);
    glGetSamplerParameteriv(samplers_[0], GL_TEXTURE_WRAP_T, &wrapT);
    s.sampler = codeOf(minFilters, min) << DrawState::minShift |
                codeOf(magFilters, mag) << DrawState::magShift |
                codeOf(wraps, wrapS) << DrawState::wrapSShift |
                codeOf(wraps, wrapT) << DrawState::wrapTShift;
    s.fvf = state_.fvf;
    s.layout = (layoutStride_ & 0xFFFFu) | primitiveOf(type) << DrawState::primitiveShift |
               (glIsEnabled(GL_SCISSOR_TEST) ? DrawState::scissored : 0u);
    if (drawStatesSeen_.insert(s).second) {
        std::fprintf(drawStateLog_, "%s\n", s.text().c_str());
        std::fflush(drawStateLog_);
    }
}

bool Device::startDrawStateLog() {
    const char* path = std::getenv("LUMIFLUX_DRAW_STATES");
    if (!path || !*path) return false;
    drawStateLog_ = std::fopen(path, "w");
    if (!drawStateLog_) std::fprintf(stderr, "LUMIFLUX_DRAW_STATES: cannot write %s\n", path);
    return true;
}

// Each state drawn once, a few vertices of zeros into a 4 x 4 target of the same formats: the
// rasteriser compiles a state's code when a draw asks for it, whatever the draw covers.
void Device::warmDrawStates() {
    IDirect3DSurface9* depth = nullptr;
    if (CreateDepthStencilSurface(4, 4, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &depth,
                                  nullptr) != D3D_OK)
        return;
    std::map<std::uint32_t, IDirect3DTexture9*> made;
    std::istringstream lines(showDrawStates);
    for (std::string line; std::getline(lines, line);)
        if (const auto state = DrawState::parse(line)) warmDrawState(*state, depth, made);
    cache_.setScissor(false, 0, 0, 0, 0);
    for (auto& [bits, texture] : made)
        texture->Release();
    depth->Release();
    layoutBuffer_ = 0; // the next draw lays its vertices out again
    state_.dirty = DirtyAll;
}

void Device::warmDrawState(const DrawState& s, IDirect3DSurface9* depth,
                           std::map<std::uint32_t, IDirect3DTexture9*>& made) {
    // Targets are keyed apart from textures by a bit no texture uses.
    constexpr std::uint32_t targetKey = 1u << 31;
    auto texture = [&](std::uint32_t key, UINT width, UINT height, UINT levels, DWORD usage,
                       D3DFORMAT format) -> Texture* {
        auto& slot = made[key];
        if (!slot && CreateTexture(width, height, levels, usage, format,
                                   usage ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED, &slot,
                                   nullptr) != D3D_OK)
            slot = nullptr;
        return static_cast<Texture*>(slot);
    };
    const bool alphaTarget = (s.target & DrawState::targetAlpha) != 0;
    Texture* target = texture(targetKey | s.target, 4, 4, 1, D3DUSAGE_RENDERTARGET,
                              alphaTarget ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8);
    if (!target) return;
    const auto* depthSurface =
        s.target & DrawState::targetDepth ? static_cast<const Surface*>(depth) : nullptr;
    cache_.bindFramebuffer(framebufferFor(&target->topLevel(), depthSurface));
    cache_.setViewport(0, 0, 4, 4, 0.0f, 1.0f);
    cache_.applyPacked(s.output);
    cache_.useProgram(programs_.get(FixedFunctionKey::fromBits(s.program)).name);
    Texture* sampled = nullptr;
    if (s.texture & DrawState::textureBound)
        sampled = texture(s.texture, s.texture & DrawState::texturePowerOfTwoWidth ? 4 : 3,
                          s.texture & DrawState::texturePowerOfTwoHeight ? 4 : 3,
                          s.texture & DrawState::textureLevels ? 0 : 1, 0,
                          s.texture & DrawState::textureAlpha ? D3DFMT_A8R8G8B8
                                                              : D3DFMT_X8R8G8B8);
    cache_.bindTexture(0, sampled ? sampled->glName() : 0);
    cache_.bindSampler(0, samplers_[0]);
    const GLuint sampler = samplers_[0];
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                        valueOf(minFilters, (s.sampler >> DrawState::minShift) & 7));
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                        valueOf(magFilters, (s.sampler >> DrawState::magShift) & 1));
    // Where border addressing is drawn by the program (WebGL 2), the sampler clamps instead.
    const auto wrap = [](std::uint32_t code) {
        const GLint value = valueOf(wraps, code);
        return value == GL_CLAMP_TO_BORDER && !glProfile().borderAddressing ? GL_CLAMP_TO_EDGE
                                                                            : value;
    };
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, wrap((s.sampler >> DrawState::wrapSShift) & 3));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, wrap((s.sampler >> DrawState::wrapTShift) & 3));
    const UINT stride = s.layout & 0xFFFFu;
    const std::uint32_t primitive = (s.layout >> DrawState::primitiveShift) & 3;
    const GLsizei vertices = static_cast<GLsizei>(primitive + 1);
    if (stride == 0 || primitive > DrawState::Triangles) return;
    const std::vector<unsigned char> zeros(static_cast<std::size_t>(vertices) * stride);
    const std::size_t offset = stream_.write(cache_, zeros.data(), zeros.size());
    layoutBuffer_ = 0;
    applyVertexLayout(s.fvf, stride, stream_.name(), offset);
    cache_.setScissor((s.layout & DrawState::scissored) != 0, 0, 0, 1, 1);
    glDrawArrays(primitives[primitive], 0, vertices);
}

} // namespace d3d9
