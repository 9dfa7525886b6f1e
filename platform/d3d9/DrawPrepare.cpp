#include "Device.h"
#include "Texture.h"

namespace d3d9 {
namespace {

constexpr GLuint positionLocation = 0, diffuseLocation = 2, texCoordLocation = 4;

D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

GLsizei vertexCount(D3DPRIMITIVETYPE type, UINT primitives) {
    switch (type) {
    case D3DPT_POINTLIST: return static_cast<GLsizei>(primitives);
    case D3DPT_LINELIST: return static_cast<GLsizei>(primitives * 2);
    case D3DPT_LINESTRIP: return static_cast<GLsizei>(primitives + 1);
    case D3DPT_TRIANGLELIST: return static_cast<GLsizei>(primitives * 3);
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return static_cast<GLsizei>(primitives + 2);
    default: return 0;
    }
}

GLenum glPrimitive(D3DPRIMITIVETYPE type) {
    switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST: return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    default: return GL_TRIANGLE_FAN;
    }
}

} // namespace

UINT vertexSize(DWORD fvf) {
    UINT size = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ: size += 12; break;
    case D3DFVF_XYZRHW: size += 16; break;
    default: break;
    }
    if (fvf & D3DFVF_NORMAL)
        size += 12;
    if (fvf & D3DFVF_PSIZE)
        size += 4;
    if (fvf & D3DFVF_DIFFUSE)
        size += 4;
    if (fvf & D3DFVF_SPECULAR)
        size += 4;
    size += 8 * ((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    return size;
}

void Device::applyViewport() {
    const D3DVIEWPORT9& vp = state_.viewport;
    // Surfaces are stored top row first: Direct3D's viewport rows are framebuffer rows.
    cache_.setViewport(static_cast<GLint>(vp.X), static_cast<GLint>(vp.Y),
                       static_cast<GLsizei>(vp.Width), static_cast<GLsizei>(vp.Height), vp.MinZ,
                       vp.MaxZ);
    ++uniformGeneration_;
}

void Device::applyTarget() {
    cache_.bindFramebuffer(framebufferFor(renderTarget_, depthStencil_));
}

namespace {

GLint magnification(DWORD filter) {
    return filter == D3DTEXF_NONE || filter == D3DTEXF_POINT ? GL_NEAREST : GL_LINEAR;
}

// Anything above LINEAR (GAUSSIANQUAD and the like) filters bilinearly; MIPFILTER NONE samples
// the top level only.
GLint minification(DWORD filter, DWORD mipFilter) {
    const bool linear = magnification(filter) == GL_LINEAR;
    switch (mipFilter) {
    case D3DTEXF_NONE: return linear ? GL_LINEAR : GL_NEAREST;
    case D3DTEXF_POINT: return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    default: return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    }
}

GLint addressing(DWORD mode) {
    switch (mode) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

} // namespace

void Device::applySampler(DWORD slot) {
    const auto& ss = state_.samplerStates[slot];
    const GLuint sampler = samplers_[slot];
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magnification(ss[D3DSAMP_MAGFILTER]));
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                        minification(ss[D3DSAMP_MINFILTER], ss[D3DSAMP_MIPFILTER]));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, addressing(ss[D3DSAMP_ADDRESSU]));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, addressing(ss[D3DSAMP_ADDRESSV]));
    // BORDERCOLOR is ARGB; a texture without alpha reads the border's alpha as 1.
    const DWORD border = ss[D3DSAMP_BORDERCOLOR];
    const float colour[4] = {((border >> 16) & 0xFF) / 255.0f, ((border >> 8) & 0xFF) / 255.0f,
                             (border & 0xFF) / 255.0f, ((border >> 24) & 0xFF) / 255.0f};
    glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, colour);
}

void Device::applyTextures() {
    // The demo draws with stage 0; later stages are stored only.
    auto* texture = static_cast<Texture*>(static_cast<IDirect3DTexture9*>(state_.textures[0]));
    if (state_.dirty & DirtySamplers)
        applySampler(0);
    cache_.bindTexture(0, texture ? texture->glName() : 0);
    cache_.bindSampler(0, samplers_[0]);
}

void Device::applyOutput() {
    const auto& rs = state_.renderStates;
    OutputState out;
    out.blend = rs[D3DRS_ALPHABLENDENABLE] != FALSE;
    out.srcBlend = static_cast<std::uint8_t>(rs[D3DRS_SRCBLEND]);
    out.destBlend = static_cast<std::uint8_t>(rs[D3DRS_DESTBLEND]);
    out.blendOp = static_cast<std::uint8_t>(rs[D3DRS_BLENDOP]);
    out.depthTest = rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    // Direct3D writes no depth while the depth test is off; OpenGL agrees, so the flag passes.
    out.depthWrite = rs[D3DRS_ZWRITEENABLE] != FALSE;
    out.depthFunc = static_cast<std::uint8_t>(rs[D3DRS_ZFUNC]);
    out.cull = static_cast<std::uint8_t>(rs[D3DRS_CULLMODE]);
    out.colorMask = static_cast<std::uint8_t>(rs[D3DRS_COLORWRITEENABLE] & 0xF);
    cache_.apply(out);
}

void Device::applyProgram() {
    const FixedFunctionKey key = makeKey(state_, state_.fvf, state_.textures[0] != nullptr);
    program_ = &programs_.get(key);
    cache_.useProgram(program_->name);
}

void Device::applyVertexLayout(DWORD fvf, UINT stride, std::size_t offset) {
    if (fvf == layoutFvf_ && stride == layoutStride_ && offset == layoutOffset_)
        return;
    layoutFvf_ = fvf, layoutStride_ = stride, layoutOffset_ = offset;
    std::size_t at = offset;
    const bool pretransformed = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    glEnableVertexAttribArray(positionLocation);
    glVertexAttribPointer(positionLocation, pretransformed ? 4 : 3, GL_FLOAT, GL_FALSE,
                          static_cast<GLsizei>(stride), reinterpret_cast<const void*>(at));
    at += pretransformed ? 16 : 12;
    if (fvf & D3DFVF_NORMAL)
        at += 12;
    if (fvf & D3DFVF_PSIZE)
        at += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        // D3DCOLOR is B, G, R, A in memory.
        glEnableVertexAttribArray(diffuseLocation);
        glVertexAttribPointer(diffuseLocation, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE,
                              static_cast<GLsizei>(stride), reinterpret_cast<const void*>(at));
        at += 4;
    } else {
        glDisableVertexAttribArray(diffuseLocation);
    }
    if (fvf & D3DFVF_SPECULAR)
        at += 4;
    if (fvf & D3DFVF_TEXCOUNT_MASK) {
        glEnableVertexAttribArray(texCoordLocation);
        glVertexAttribPointer(texCoordLocation, 2, GL_FLOAT, GL_FALSE,
                              static_cast<GLsizei>(stride), reinterpret_cast<const void*>(at));
    } else {
        glDisableVertexAttribArray(texCoordLocation);
    }
}

void Device::prepareDraw() {
    const std::uint32_t dirty = state_.dirty;
    if (dirty & DirtyTarget)
        applyTarget();
    if (dirty & (DirtyTextures | DirtySamplers))
        applyTextures();
    if (dirty & DirtyViewport)
        applyViewport();
    if (dirty & DirtyOutput)
        applyOutput();
    if (dirty & (DirtyProgram | DirtyTextures))
        applyProgram();
    if (dirty & DirtyTransforms)
        ++uniformGeneration_;
    if (program_->uniformGeneration != uniformGeneration_) {
        const D3DVIEWPORT9& vp = state_.viewport;
        glUniform4f(program_->viewport, static_cast<float>(vp.X), static_cast<float>(vp.Y),
                    static_cast<float>(vp.Width), static_cast<float>(vp.Height));
        const D3DMATRIX wvp = multiply(multiply(state_.world, state_.view), state_.projection);
        glUniformMatrix4fv(program_->worldViewProjection, 1, GL_FALSE, &wvp.m[0][0]);
        const DWORD factor = state_.renderStates[D3DRS_TEXTUREFACTOR];
        glUniform4f(program_->textureFactor, ((factor >> 16) & 0xFF) / 255.0f,
                    ((factor >> 8) & 0xFF) / 255.0f, (factor & 0xFF) / 255.0f,
                    ((factor >> 24) & 0xFF) / 255.0f);
        program_->uniformGeneration = uniformGeneration_;
    }
    state_.dirty = 0;
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount,
                                const void* vertexData, UINT stride) {
    const GLsizei vertices = vertexCount(type, primitiveCount);
    if (!context_.alive() || !vertexData || stride == 0 || vertices == 0 ||
        (state_.fvf & D3DFVF_POSITION_MASK) == 0 || vertexSize(state_.fvf) > stride)
        return D3DERR_INVALIDCALL;
    const std::size_t offset =
        stream_.write(cache_, vertexData, static_cast<std::size_t>(vertices) * stride);
    prepareDraw();
    applyVertexLayout(state_.fvf, stride, offset);
    glDrawArrays(glPrimitive(type), 0, vertices);
    ++frame_.drawCalls;
    frame_.primitives += primitiveCount;
    return D3D_OK;
}

} // namespace d3d9
