#pragma once
// Every OpenGL bind and fixed state change goes through here, so redundant calls are skipped and
// counted per frame. Blend, depth, cull and write masks travel as one packed word.
#include "GLApi.h"
#include <cstdint>

namespace d3d9 {

// Output-merger state in Direct3D's units, packed: see pack() for the layout.
struct OutputState {
    bool blend = false;
    std::uint8_t srcBlend = 2;  // D3DBLEND_ONE
    std::uint8_t destBlend = 1; // D3DBLEND_ZERO
    std::uint8_t blendOp = 1;   // D3DBLENDOP_ADD
    bool depthTest = true;
    bool depthWrite = true;
    std::uint8_t depthFunc = 4; // D3DCMP_LESSEQUAL
    std::uint8_t cull = 3;      // D3DCULL_CCW
    std::uint8_t colorMask = 0xF;

    std::uint32_t pack() const;
};

struct GLCounters {
    std::uint32_t stateChanges = 0;
    std::uint32_t programBinds = 0;
    std::uint32_t textureBinds = 0;
    std::uint32_t bufferBinds = 0;
};

class GLStateCache {
  public:
    // Forget what is bound: the next request of each kind reaches OpenGL.
    void invalidate();

    void apply(const OutputState& state) { applyPacked(state.pack()); }
    void applyPacked(std::uint32_t word);
    std::uint32_t outputWord() const { return output_; }
    void useProgram(GLuint program);
    void bindFramebuffer(GLuint framebuffer);
    void bindArrayBuffer(GLuint buffer);
    void bindTexture(GLuint unit, GLuint texture);
    void bindSampler(GLuint unit, GLuint sampler);
    void setViewport(GLint x, GLint y, GLsizei width, GLsizei height, float minZ, float maxZ);
    void setScissor(bool enabled, GLint x, GLint y, GLsizei width, GLsizei height);
    // OpenGL unbinds deleted objects itself; the cache must follow.
    void forgetTexture(GLuint texture);
    void forgetFramebuffer(GLuint framebuffer);
    void forgetArrayBuffer(GLuint buffer);

    const GLCounters& counters() const { return counters_; }
    void resetCounters() { counters_ = {}; }

  private:
    static constexpr int unitCount = 8;
    bool known_ = false;
    std::uint32_t output_ = 0;
    GLuint program_ = 0, framebuffer_ = 0, arrayBuffer_ = 0;
    GLuint textures_[unitCount] = {}, samplers_[unitCount] = {};
    GLint viewport_[4] = {};
    float depthRange_[2] = {};
    bool scissorKnown_ = false;
    bool scissorOn_ = false;
    GLint scissor_[4] = {};
    GLCounters counters_;
};

} // namespace d3d9
