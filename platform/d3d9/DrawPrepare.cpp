#include "Buffer.h"
#include "Device.h"
#include "VertexFormat.h"
#include "FlatShading.h"
#include "GLProfile.h"
#include "Texture.h"

#include <cmath>
#include <cstring>

namespace d3d9 {
namespace {

constexpr GLuint positionLocation = 0, normalLocation = 1, diffuseLocation = 2,
                 specularLocation = 3, texCoordLocation = 4;

D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

// The inverse of the upper 3 x 3 of m; identity when m is singular, so normals never go NaN.
void inverse3x3(const D3DMATRIX& m, float out[9]) {
    const float a = m._11, b = m._12, c = m._13, d = m._21, e = m._22, f = m._23, g = m._31,
                h = m._32, i = m._33;
    const float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    if (!std::isfinite(det) || std::fabs(det) < 1e-30f) {
        const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        std::copy(identity, identity + 9, out);
        return;
    }
    const float r = 1.0f / det;
    const float result[9] = {(e * i - f * h) * r, (c * h - b * i) * r, (b * f - c * e) * r,
                             (f * g - d * i) * r, (a * i - c * g) * r, (c * d - a * f) * r,
                             (d * h - e * g) * r, (b * g - a * h) * r, (a * e - b * d) * r};
    std::copy(result, result + 9, out);
}

void colour(GLint location, const D3DCOLORVALUE& c) {
    glUniform4f(location, c.r, c.g, c.b, c.a);
}

void argb(GLint location, DWORD c) {
    glUniform4f(location, ((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f,
                (c & 0xFF) / 255.0f, ((c >> 24) & 0xFF) / 255.0f);
}

float asFloat(DWORD bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

GLsizei vertexCount(D3DPRIMITIVETYPE type, UINT primitives) {
    switch (type) {
    case D3DPT_POINTLIST:
        return static_cast<GLsizei>(primitives);
    case D3DPT_LINELIST:
        return static_cast<GLsizei>(primitives * 2);
    case D3DPT_LINESTRIP:
        return static_cast<GLsizei>(primitives + 1);
    case D3DPT_TRIANGLELIST:
        return static_cast<GLsizei>(primitives * 3);
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return static_cast<GLsizei>(primitives + 2);
    default:
        return 0;
    }
}

GLenum glPrimitive(D3DPRIMITIVETYPE type) {
    switch (type) {
    case D3DPT_POINTLIST:
        return GL_POINTS;
    case D3DPT_LINELIST:
        return GL_LINES;
    case D3DPT_LINESTRIP:
        return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST:
        return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP:
        return GL_TRIANGLE_STRIP;
    default:
        return GL_TRIANGLE_FAN;
    }
}

} // namespace

void Device::applyViewport() {
    const D3DVIEWPORT9& vp = state_.viewport;
    const auto x = static_cast<LONG>(vp.X), y = static_cast<LONG>(vp.Y);
    const GLint left = scaledEdge(x), top = scaledEdge(y);
    // Surfaces are stored top row first: Direct3D's viewport rows are framebuffer rows.
    cache_.setViewport(left, top, scaledEdge(x + static_cast<LONG>(vp.Width)) - left,
                       scaledEdge(y + static_cast<LONG>(vp.Height)) - top, vp.MinZ, vp.MaxZ);
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
    case D3DTEXF_NONE:
        return linear ? GL_LINEAR : GL_NEAREST;
    case D3DTEXF_POINT:
        return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    default:
        return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    }
}

GLint addressing(DWORD mode) {
    switch (mode) {
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: // else the program blends the border in
        return glProfile().borderAddressing ? GL_CLAMP_TO_BORDER : GL_CLAMP_TO_EDGE;
    default:
        return GL_REPEAT;
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
    if (glProfile().borderAddressing) {
        const DWORD border = ss[D3DSAMP_BORDERCOLOR];
        const float colour[4] = {((border >> 16) & 0xFF) / 255.0f, ((border >> 8) & 0xFF) / 255.0f,
                                 (border & 0xFF) / 255.0f, ((border >> 24) & 0xFF) / 255.0f};
        glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, colour);
    }
}

// The border a program blends in: stage 0's BORDERCOLOR (ARGB), with alpha 1 for a texture that
// stores none, as a sampler's border reads.
void Device::uploadBorderColour(GLint location) {
    const DWORD border = state_.samplerStates[0][D3DSAMP_BORDERCOLOR];
    auto* texture = static_cast<Texture*>(static_cast<IDirect3DTexture9*>(state_.textures[0]));
    const bool alpha = texture && texture->format() == D3DFMT_A8R8G8B8;
    glUniform4f(location, ((border >> 16) & 0xFF) / 255.0f, ((border >> 8) & 0xFF) / 255.0f,
                (border & 0xFF) / 255.0f, alpha ? ((border >> 24) & 0xFF) / 255.0f : 1.0f);
}

void Device::applyTextures() {
    // The demo draws with stage 0; later stages are stored only.
    auto* texture = static_cast<Texture*>(static_cast<IDirect3DTexture9*>(state_.textures[0]));
    if (state_.dirty & DirtySamplers) applySampler(0);
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
    const FixedFunctionKey key =
        makeKey(state_, state_.fvf, state_.textures[0] != nullptr, points_);
    programKey_ = key.bits();
    program_ = &programs_.get(key);
    cache_.useProgram(program_->name);
}

void Device::applyVertexLayout(DWORD fvf, UINT stride, GLuint buffer, std::size_t offset) {
    if (fvf == layoutFvf_ && stride == layoutStride_ && buffer == layoutBuffer_ &&
        offset == layoutOffset_)
        return;
    layoutFvf_ = fvf, layoutStride_ = stride, layoutBuffer_ = buffer, layoutOffset_ = offset;
    cache_.bindArrayBuffer(buffer);
    const auto s = static_cast<GLsizei>(stride);
    auto attribute = [&](GLuint location, bool present, GLint size, GLenum type, bool normalised,
                         std::size_t& at, std::size_t bytes) {
        if (!present) {
            glDisableVertexAttribArray(location);
            return;
        }
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, size, type, normalised ? GL_TRUE : GL_FALSE, s,
                              reinterpret_cast<const void*>(at));
        at += bytes;
    };
    std::size_t at = offset;
    const bool pretransformed = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    attribute(positionLocation, true, pretransformed ? 4 : 3, GL_FLOAT, false, at,
              pretransformed ? 16 : 12);
    attribute(normalLocation, (fvf & D3DFVF_NORMAL) != 0, 3, GL_FLOAT, false, at, 12);
    if (fvf & D3DFVF_PSIZE) at += 4;
    // D3DCOLOR is B, G, R, A in memory; without BGRA attributes the program swaps them.
    const GLint colour = glProfile().bgraFormats ? GL_BGRA : 4;
    attribute(diffuseLocation, (fvf & D3DFVF_DIFFUSE) != 0, colour, GL_UNSIGNED_BYTE, true, at, 4);
    attribute(specularLocation, (fvf & D3DFVF_SPECULAR) != 0, colour, GL_UNSIGNED_BYTE, true, at,
              4);
    attribute(texCoordLocation, (fvf & D3DFVF_TEXCOUNT_MASK) != 0, 2, GL_FLOAT, false, at, 8);
}

void Device::uploadTransforms(const Program& program) {
    const D3DVIEWPORT9& vp = state_.viewport;
    glUniform4f(program.viewport, static_cast<float>(vp.X), static_cast<float>(vp.Y),
                static_cast<float>(vp.Width), static_cast<float>(vp.Height));
    glUniform1f(program.resolutionScale, scale_);
    const D3DMATRIX worldView = multiply(state_.world, state_.view);
    const D3DMATRIX wvp = multiply(worldView, state_.projection);
    // Row-major Direct3D matrices read as column-major GLSL ones are transposed, which is
    // what row vectors need: the shaders multiply matrix x vector.
    glUniformMatrix4fv(program.worldViewProjection, 1, GL_FALSE, &wvp.m[0][0]);
    if (program.worldView >= 0)
        glUniformMatrix4fv(program.worldView, 1, GL_FALSE, &worldView.m[0][0]);
    if (program.normalMatrix >= 0) {
        float normal[9];
        inverse3x3(worldView, normal);
        glUniformMatrix3fv(program.normalMatrix, 1, GL_TRUE, normal);
    }
}

void Device::uploadConstants(const Program& program) {
    const auto& rs = state_.renderStates;
    argb(program.textureFactor, rs[D3DRS_TEXTUREFACTOR]);
    const float maxSize = std::min(asFloat(rs[D3DRS_POINTSIZE_MAX]), pointSizeCap_);
    glUniform4f(program.pointSize, asFloat(rs[D3DRS_POINTSIZE]), asFloat(rs[D3DRS_POINTSIZE_MIN]),
                maxSize, 0.0f);
    glUniform3f(program.pointScale, asFloat(rs[D3DRS_POINTSCALE_A]),
                asFloat(rs[D3DRS_POINTSCALE_B]), asFloat(rs[D3DRS_POINTSCALE_C]));
    if (program.borderColour >= 0) uploadBorderColour(program.borderColour);
    if (program.sampleScale >= 0) {
        const auto& sampler = state_.samplerStates[0];
        glUniform1f(program.sampleScale, scale_ != 1.0f ? scale_ : 0.0f);
        glUniform1i(program.pointSampled,
                    magnification(sampler[D3DSAMP_MAGFILTER]) == GL_NEAREST &&
                        magnification(sampler[D3DSAMP_MINFILTER]) == GL_NEAREST);
    }
    if (!program.lit) return;
    const D3DMATERIAL9& m = state_.material;
    colour(program.materialDiffuse, m.Diffuse);
    colour(program.materialAmbient, m.Ambient);
    colour(program.materialSpecular, m.Specular);
    colour(program.materialEmissive, m.Emissive);
    glUniform1f(program.materialPower, m.Power);
    argb(program.globalAmbient, rs[D3DRS_AMBIENT]);
    if (program.lightCount == 0) return;
    // The first eight enabled lights, moved into view space.
    const D3DMATRIX& v = state_.view;
    float position[24] = {}, direction[24] = {}, diffuse[32] = {}, specular[32] = {},
          ambient[32] = {}, attenuation[32] = {}, spot[32] = {};
    int n = 0;
    for (const auto& [index, slot] : state_.lights) {
        if (!slot.enabled || n >= 8) continue;
        const D3DLIGHT9& l = slot.light;
        const D3DVECTOR& p = l.Position;
        const D3DVECTOR& d = l.Direction;
        position[3 * n] = p.x * v._11 + p.y * v._21 + p.z * v._31 + v._41;
        position[3 * n + 1] = p.x * v._12 + p.y * v._22 + p.z * v._32 + v._42;
        position[3 * n + 2] = p.x * v._13 + p.y * v._23 + p.z * v._33 + v._43;
        float dx = d.x * v._11 + d.y * v._21 + d.z * v._31;
        float dy = d.x * v._12 + d.y * v._22 + d.z * v._32;
        float dz = d.x * v._13 + d.y * v._23 + d.z * v._33;
        const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (length > 0) dx /= length, dy /= length, dz /= length;
        direction[3 * n] = dx, direction[3 * n + 1] = dy, direction[3 * n + 2] = dz;
        auto put = [n](float* array, const D3DCOLORVALUE& c) {
            array[4 * n] = c.r, array[4 * n + 1] = c.g, array[4 * n + 2] = c.b,
                      array[4 * n + 3] = c.a;
        };
        put(diffuse, l.Diffuse);
        put(specular, l.Specular);
        put(ambient, l.Ambient);
        attenuation[4 * n] = l.Attenuation0, attenuation[4 * n + 1] = l.Attenuation1;
        attenuation[4 * n + 2] = l.Attenuation2, attenuation[4 * n + 3] = l.Range;
        spot[4 * n] = std::cos(l.Theta / 2), spot[4 * n + 1] = std::cos(l.Phi / 2);
        spot[4 * n + 2] = l.Falloff, spot[4 * n + 3] = static_cast<float>(l.Type);
        ++n;
    }
    glUniform3fv(program.lightPosition, n, position);
    glUniform3fv(program.lightDirection, n, direction);
    glUniform4fv(program.lightDiffuse, n, diffuse);
    glUniform4fv(program.lightSpecular, n, specular);
    glUniform4fv(program.lightAmbient, n, ambient);
    glUniform4fv(program.lightAttenuation, n, attenuation);
    glUniform4fv(program.lightSpot, n, spot);
}

void Device::prepareDraw(bool points) {
    if (points != points_) {
        points_ = points;
        state_.dirty |= DirtyProgram;
    }
    const std::uint32_t dirty = state_.dirty;
    if (dirty & DirtyTarget) applyTarget();
    if (dirty & (DirtyTextures | DirtySamplers)) applyTextures();
    if (dirty & DirtyViewport) applyViewport();
    if (dirty & DirtyOutput) applyOutput();
    if (dirty & (DirtyProgram | DirtyTextures)) applyProgram();
    if (dirty & (DirtyTransforms | DirtyViewport)) ++transformGeneration_;
    if (dirty & (DirtyConstants | DirtyViewport | DirtySamplers | DirtyTextures))
        ++constantsGeneration_;
    if (program_->transformGeneration != transformGeneration_) {
        uploadTransforms(*program_);
        program_->transformGeneration = transformGeneration_;
    }
    if (program_->constantsGeneration != constantsGeneration_) {
        uploadConstants(*program_);
        program_->constantsGeneration = constantsGeneration_;
    }
    state_.dirty = 0;
}

void Device::countDraw(D3DPRIMITIVETYPE type, UINT primitives, GLsizei vertices) {
    ++frame_.drawCalls;
    ++frame_.drawsByType[type <= D3DPT_TRIANGLEFAN ? static_cast<unsigned>(type) : 0u];
    frame_.primitives += primitives;
    frame_.vertices += static_cast<std::uint32_t>(vertices);
    frame_.drawsWithoutCulling += state_.renderStates[D3DRS_CULLMODE] == D3DCULL_NONE;
    frame_.drawsWithoutDepthWrites += state_.renderStates[D3DRS_ZWRITEENABLE] == FALSE;
    if (Texture* drawnInto = renderTarget_ ? renderTarget_->texture() : nullptr)
        drawnInto->markDrawn();
}

bool Device::drawFlat(D3DPRIMITIVETYPE type, UINT primitives,
                      const std::function<std::uint32_t(UINT)>& vertexAt) {
    if (glProfile().provokingVertex || type == D3DPT_POINTLIST ||
        state_.renderStates[D3DRS_SHADEMODE] != D3DSHADE_FLAT)
        return false;
    const FlatPrimitives flat = flatPrimitives(type, primitives, vertexAt);
    if (!flatIndices_) glGenBuffers(1, &flatIndices_);
    bindBuffer(GL_ELEMENT_ARRAY_BUFFER, flatIndices_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(flat.indices.size() * sizeof(std::uint32_t)),
                 flat.indices.data(), GL_STREAM_DRAW);
    glDrawElements(flat.lines ? GL_LINES : GL_TRIANGLES, static_cast<GLsizei>(flat.indices.size()),
                   GL_UNSIGNED_INT, nullptr);
    return true;
}

bool validDraw(DWORD fvf, UINT stride, GLsizei vertices) {
    return stride != 0 && vertices > 0 && (fvf & D3DFVF_POSITION_MASK) != 0 &&
           vertexSize(fvf) <= stride;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    const GLsizei vertices = vertexCount(type, primitiveCount);
    auto* buffer = static_cast<VertexBuffer*>(state_.stream);
    const UINT stride = state_.streamStride;
    if (!context_.alive() || !buffer || !validDraw(state_.fvf, stride, vertices) ||
        state_.streamOffset + (static_cast<std::uint64_t>(startVertex) + vertices) * stride >
            buffer->buffer().length())
        return D3DERR_INVALIDCALL;
    prepareDraw(type == D3DPT_POINTLIST);
    applyVertexLayout(state_.fvf, stride, buffer->buffer().glName(), state_.streamOffset);
    noteDrawState(type);
    if (!drawFlat(type, primitiveCount, [startVertex](UINT i) { return startVertex + i; }))
        glDrawArrays(glPrimitive(type), static_cast<GLint>(startVertex), vertices);
    countDraw(type, primitiveCount, vertices);
    return D3D_OK;
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT, UINT,
                                     UINT startIndex, UINT primitiveCount) {
    const GLsizei indices = vertexCount(type, primitiveCount);
    auto* vertices = static_cast<VertexBuffer*>(state_.stream);
    auto* index = static_cast<IndexBuffer*>(state_.indices);
    const UINT stride = state_.streamStride;
    if (!context_.alive() || !vertices || !index || baseVertexIndex < 0 ||
        !validDraw(state_.fvf, stride, indices))
        return D3DERR_INVALIDCALL;
    const UINT indexSize = index->format() == D3DFMT_INDEX32 ? 4 : 2;
    if ((static_cast<std::uint64_t>(startIndex) + indices) * indexSize > index->buffer().length())
        return D3DERR_INVALIDCALL;
    prepareDraw(type == D3DPT_POINTLIST);
    applyVertexLayout(state_.fvf, stride, vertices->buffer().glName(),
                      state_.streamOffset + static_cast<std::size_t>(baseVertexIndex) * stride);
    const unsigned char* stored = index->buffer().data() + std::size_t{startIndex} * indexSize;
    const auto indexAt = [stored, indexSize](UINT i) -> std::uint32_t {
        std::uint32_t value = 0;
        std::memcpy(&value, stored + std::size_t{i} * indexSize, indexSize); // little-endian
        return value;
    };
    noteDrawState(type);
    if (drawFlat(type, primitiveCount, indexAt)) {
        countDraw(type, primitiveCount, indices);
        return D3D_OK;
    }
    bindBuffer(GL_ELEMENT_ARRAY_BUFFER, index->buffer().glName());
    glDrawElements(glPrimitive(type), indices, indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                   reinterpret_cast<const void*>(static_cast<std::size_t>(startIndex) * indexSize));
    countDraw(type, primitiveCount, indices);
    return D3D_OK;
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                UINT stride) {
    const GLsizei vertices = vertexCount(type, primitiveCount);
    if (!context_.alive() || !vertexData || !validDraw(state_.fvf, stride, vertices))
        return D3DERR_INVALIDCALL;
    const std::size_t offset =
        stream_.write(cache_, vertexData, static_cast<std::size_t>(vertices) * stride);
    const auto grid = gridDraw(vertexData, stride);
    prepareDraw(type == D3DPT_POINTLIST);
    applyVertexLayout(state_.fvf, stride, stream_.name(), offset);
    if (grid) beginGridDraw(*grid);
    const float drawnScale = grid && grid->destination ? 1.0f : scale_;
    const auto inked = inkedArea(type, primitiveCount, vertexData, stride);
    if (inked) {
        ++frame_.drawsTrimmedToInk;
        // Surfaces are stored top row first, so Direct3D rows are framebuffer rows.
        const GLint left = static_cast<GLint>(std::floor(inked->left * drawnScale));
        const GLint top = static_cast<GLint>(std::floor(inked->top * drawnScale));
        const GLint right = static_cast<GLint>(std::ceil(inked->right * drawnScale));
        const GLint bottom = static_cast<GLint>(std::ceil(inked->bottom * drawnScale));
        cache_.setScissor(true, left, top, std::max(right - left, 0), std::max(bottom - top, 0));
    }
    noteDrawState(type);
    if (!drawFlat(type, primitiveCount, [](UINT i) { return i; }))
        glDrawArrays(glPrimitive(type), 0, vertices);
    if (inked) cache_.setScissor(false, 0, 0, 0, 0);
    countDraw(type, primitiveCount, vertices);
    if (grid) endGridDraw(*grid);
    return D3D_OK;
}

} // namespace d3d9
