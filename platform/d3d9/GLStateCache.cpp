#include "GLStateCache.h"

#include "GLProfile.h"
#include "d3d9types.h"

namespace d3d9 {
namespace {

// Layout of the packed word, low bits first.
constexpr std::uint32_t blendBit = 1u << 0;
constexpr int srcShift = 1, destShift = 5, opShift = 9;
constexpr std::uint32_t blendMask = 0xFFFu; // enable, factors, op
constexpr std::uint32_t depthTestBit = 1u << 12;
constexpr std::uint32_t depthWriteBit = 1u << 13;
constexpr int depthFuncShift = 14;
constexpr std::uint32_t depthFuncMask = 0xFu << depthFuncShift;
constexpr int cullShift = 18;
constexpr std::uint32_t cullMask = 0x3u << cullShift;
constexpr int colorMaskShift = 20;
constexpr std::uint32_t colorMaskMask = 0xFu << colorMaskShift;

GLenum blendFactor(std::uint32_t d3d) {
    switch (d3d) {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    // Every target here has alpha read as 1 (X8R8G8B8 surfaces are RGB8 attachments).
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
        return GL_SRC_ALPHA_SATURATE;
    case D3DBLEND_BLENDFACTOR:
        return GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR:
        return GL_ONE_MINUS_CONSTANT_COLOR;
    default:
        return GL_ONE;
    }
}

GLenum blendEquation(std::uint32_t d3d) {
    switch (d3d) {
    case D3DBLENDOP_SUBTRACT:
        return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT:
        return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN:
        return GL_MIN;
    case D3DBLENDOP_MAX:
        return GL_MAX;
    default:
        return GL_FUNC_ADD;
    }
}

GLenum compareFunction(std::uint32_t d3d) {
    switch (d3d) {
    case D3DCMP_NEVER:
        return GL_NEVER;
    case D3DCMP_LESS:
        return GL_LESS;
    case D3DCMP_EQUAL:
        return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
        return GL_LEQUAL;
    case D3DCMP_GREATER:
        return GL_GREATER;
    case D3DCMP_NOTEQUAL:
        return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
        return GL_GEQUAL;
    default:
        return GL_ALWAYS;
    }
}

void applyBlend(std::uint32_t word) {
    if (!(word & blendBit)) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    std::uint32_t src = (word >> srcShift) & 0xF, dest = (word >> destShift) & 0xF;
    // The legacy both-alpha factors override the destination factor.
    if (src == D3DBLEND_BOTHSRCALPHA) {
        src = D3DBLEND_SRCALPHA;
        dest = D3DBLEND_INVSRCALPHA;
    } else if (src == D3DBLEND_BOTHINVSRCALPHA) {
        src = D3DBLEND_INVSRCALPHA;
        dest = D3DBLEND_SRCALPHA;
    }
    glBlendFunc(blendFactor(src), blendFactor(dest));
    glBlendEquation(blendEquation((word >> opShift) & 0x7));
}

void applyCull(std::uint32_t cull) {
    // Surfaces are stored top row first, so the vertex stage flips y and clockwise becomes GL's
    // counter-clockwise: front faces are GL_CCW and the D3D cull modes map straight across.
    if (cull == D3DCULL_NONE) {
        glDisable(GL_CULL_FACE);
        return;
    }
    glEnable(GL_CULL_FACE);
    glCullFace(cull == D3DCULL_CW ? GL_FRONT : GL_BACK);
}

} // namespace

std::uint32_t OutputState::pack() const {
    std::uint32_t word = 0;
    if (blend)
        word |= blendBit | (std::uint32_t{srcBlend} & 0xF) << srcShift |
                (std::uint32_t{destBlend} & 0xF) << destShift |
                (std::uint32_t{blendOp} & 0x7) << opShift;
    if (depthTest) word |= depthTestBit | (std::uint32_t{depthFunc} & 0xF) << depthFuncShift;
    if (depthWrite) word |= depthWriteBit;
    word |= (std::uint32_t{cull} & 0x3) << cullShift;
    word |= (std::uint32_t{colorMask} & 0xF) << colorMaskShift;
    return word;
}

void GLStateCache::invalidate() {
    known_ = false;
    program_ = framebuffer_ = arrayBuffer_ = 0;
    for (int i = 0; i < unitCount; ++i)
        textures_[i] = samplers_[i] = 0;
    viewport_[2] = -1;
    depthRange_[0] = depthRange_[1] = -1.0f;
    scissorKnown_ = false;
    scissor_[2] = -1;
    glFrontFace(GL_CCW);
    if (glProfile().provokingVertex) glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
}

void GLStateCache::applyPacked(std::uint32_t word) {
    const std::uint32_t changed = known_ ? word ^ output_ : 0xFFFFFFFFu;
    if (!changed) return;
    if (changed & blendMask) applyBlend(word);
    if (changed & (depthTestBit | depthFuncMask)) {
        if (word & depthTestBit) {
            glEnable(GL_DEPTH_TEST);
            glDepthFunc(compareFunction((word & depthFuncMask) >> depthFuncShift));
        } else {
            glDisable(GL_DEPTH_TEST);
        }
    }
    if (changed & depthWriteBit) glDepthMask(word & depthWriteBit ? GL_TRUE : GL_FALSE);
    if (changed & cullMask) applyCull((word & cullMask) >> cullShift);
    if (changed & colorMaskMask) {
        // D3DCOLORWRITEENABLE bits: red 1, green 2, blue 4, alpha 8.
        const std::uint32_t m = (word & colorMaskMask) >> colorMaskShift;
        glColorMask(m & 1 ? GL_TRUE : GL_FALSE, m & 2 ? GL_TRUE : GL_FALSE,
                    m & 4 ? GL_TRUE : GL_FALSE, m & 8 ? GL_TRUE : GL_FALSE);
    }
    output_ = word;
    known_ = true;
    ++counters_.stateChanges;
}

void GLStateCache::useProgram(GLuint program) {
    if (program == program_) return;
    glUseProgram(program);
    program_ = program;
    ++counters_.programBinds;
}

void GLStateCache::bindFramebuffer(GLuint framebuffer) {
    if (framebuffer == framebuffer_) return;
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    framebuffer_ = framebuffer;
}

void GLStateCache::bindArrayBuffer(GLuint buffer) {
    if (buffer == arrayBuffer_) return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    arrayBuffer_ = buffer;
    ++counters_.bufferBinds;
}

void GLStateCache::bindTexture(GLuint unit, GLuint texture) {
    if (unit >= unitCount || textures_[unit] == texture) return;
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    textures_[unit] = texture;
    ++counters_.textureBinds;
}

void GLStateCache::bindSampler(GLuint unit, GLuint sampler) {
    if (unit >= unitCount || samplers_[unit] == sampler) return;
    glBindSampler(unit, sampler);
    samplers_[unit] = sampler;
}

void GLStateCache::setViewport(GLint x, GLint y, GLsizei width, GLsizei height, float minZ,
                               float maxZ) {
    if (viewport_[0] != x || viewport_[1] != y || viewport_[2] != width || viewport_[3] != height) {
        glViewport(x, y, width, height);
        viewport_[0] = x, viewport_[1] = y, viewport_[2] = width, viewport_[3] = height;
    }
    if (depthRange_[0] != minZ || depthRange_[1] != maxZ) {
        glDepthRange(minZ, maxZ);
        depthRange_[0] = minZ, depthRange_[1] = maxZ;
    }
}

void GLStateCache::setScissor(bool enabled, GLint x, GLint y, GLsizei width, GLsizei height) {
    if (enabled != scissorOn_ || !scissorKnown_) {
        if (enabled)
            glEnable(GL_SCISSOR_TEST);
        else
            glDisable(GL_SCISSOR_TEST);
        scissorOn_ = enabled;
        scissorKnown_ = true;
    }
    if (enabled &&
        (scissor_[0] != x || scissor_[1] != y || scissor_[2] != width || scissor_[3] != height)) {
        glScissor(x, y, width, height);
        scissor_[0] = x, scissor_[1] = y, scissor_[2] = width, scissor_[3] = height;
    }
}

} // namespace d3d9

namespace d3d9 {

void GLStateCache::forgetTexture(GLuint texture) {
    for (GLuint& bound : textures_)
        if (bound == texture) bound = 0;
}

void GLStateCache::forgetArrayBuffer(GLuint buffer) {
    if (arrayBuffer_ == buffer) arrayBuffer_ = 0;
}

void GLStateCache::forgetFramebuffer(GLuint framebuffer) {
    if (framebuffer_ == framebuffer) framebuffer_ = ~GLuint{0};
}

} // namespace d3d9
