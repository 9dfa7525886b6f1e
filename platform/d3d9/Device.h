#pragma once
// The Direct3D 9 device. Its rooms, each in files of its own:
// - the Direct3D API: states, transforms, presenting (Device.cpp), lights and material
//   (DeviceLights.cpp), what a program creates and binds (DeviceResources.cpp);
// - state and the OpenGL cache: DeviceState, GLStateCache, and the OpenGL objects behind the
//   resources (DeviceGLObjects.cpp);
// - drawing: preparation and the draw calls (DrawPrepare.cpp), ink trimming (DeviceInkTrim.cpp),
//   the resolution scale (DeviceScale.cpp), the draw states met while loading
//   (DeviceDrawStates.cpp);
// - frames leaving the device: FrameReadback (the host asks for the last one); their
//   letterboxing is the host's.
#include "ComObject.h"
#include "DeviceState.h"
#include "DrawState.h"
#include "FixedFunction.h"
#include "FrameReadback.h"
#include "GLContext.h"
#include "GLStateCache.h"
#include "InkTrim.h"
#include "StreamBuffer.h"
#include "Surface.h"
#include "d3d9.h"

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

struct SDL_Window;

namespace d3d9 {

struct FrameStats {
    std::uint32_t drawCalls = 0;
    std::uint32_t drawsByType[7] = {}; // indexed by D3DPRIMITIVETYPE
    std::uint32_t vertices = 0;
    std::uint32_t primitives = 0;
    std::uint32_t clears = 0;
    // Draws made with these states, so a test can see how a scene draws, not only what.
    std::uint32_t drawsWithoutCulling = 0;
    std::uint32_t drawsWithoutDepthWrites = 0;
    std::uint32_t drawsTrimmedToInk = 0; // screen-space quads rasterised only where they add
    GLCounters gl;
};

class Device final : public platform::ComObject<IDirect3DDevice9> {
  public:
    Device(HWND window, const D3DPRESENT_PARAMETERS& parameters);
    bool create();

    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD* fvf) override;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                      D3DMULTISAMPLE_TYPE multiSample, DWORD quality, BOOL discard,
                                      IDirect3DSurface9** surface, HANDLE* shared) override;
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;

    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT GetMaterial(D3DMATERIAL9* material) override;

    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** buffer, HANDLE* shared) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, HANDLE* shared) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                            UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override;

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                 UINT vertexCount, UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                            UINT stride) override;

    // A colour surface's pixels as B, G, R, A bytes, top row first: what capture reads too.
    HRESULT readSurface(IDirect3DSurface9* surface, std::vector<unsigned char>& bgra);

    // For the resources: OpenGL work on their own objects goes through the device's cache.
    void bindScratchTexture(GLuint texture);
    // Everything drawn into is stored this many times larger than its Direct3D size: the
    // window's or the capture's pixels over the back buffer's, so the picture is drawn sharp.
    float resolutionScale() const { return scale_; }
    UINT scaled(UINT size) const;
    GLint scaledEdge(LONG coordinate) const;
    void deleteTexture(GLuint texture);
    // A framebuffer drawing into a texture's top level, and its end.
    GLuint framebufferOf(GLuint texture);
    void deleteFramebuffer(GLuint framebuffer);
    void forget(Surface* surface);
    void forgetTexture(IDirect3DBaseTexture9* texture);
    void bindBuffer(GLenum target, GLuint buffer);
    void deleteBuffer(GLenum target, GLuint buffer);
    void forgetBuffer(IUnknown* buffer);

    // Hands the run's sink the presented frame still on its way back.
    void flushFrames() { frames_.flush(); }
    // Counters of the last presented frame, for tests and benchmarks.
    const FrameStats& lastFrameStats() const { return lastFrame_; }
    const D3DPRESENT_PARAMETERS& presentParameters() const { return parameters_; }

  private:
    ~Device() override;

    HRESULT applyPresentation(const D3DPRESENT_PARAMETERS& parameters);
    static float outputScale(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters);
    void uploadBorderColour(GLint location);
    D3DMATRIX* transformSlot(D3DTRANSFORMSTATETYPE state);
    // Turns the dirty groups into OpenGL work, in a fixed order (DrawPrepare.cpp).
    void prepareDraw(bool points);
    void uploadTransforms(const Program& program);
    void uploadConstants(const Program& program);
    void countDraw(D3DPRIMITIVETYPE type, UINT primitives, GLsizei vertices);
    // Draws flat-shaded primitives where OpenGL cannot take the first vertex's colour
    // (FlatShading.h); false when the draw needs no such help.
    bool drawFlat(D3DPRIMITIVETYPE type, UINT primitives,
                  const std::function<std::uint32_t(UINT)>& vertexAt);
    // The pixels a screen-space quad can change while black adds nothing (DeviceInkTrim.cpp);
    // nothing when every pixel it covers may change.
    std::optional<PixelRect> inkedArea(D3DPRIMITIVETYPE type, UINT primitives, const void* data,
                                       UINT stride) const;
    bool blackAddsNothing() const;
    // A screen-space quad that resizes a picture stored at the device's scale samples it on
    // Direct3D's grid, and draws there too when it draws into such a picture (DeviceScale.cpp).
    struct GridDraw {
        Texture* source = nullptr;
        Texture* destination = nullptr; // null: drawn into the stored pixels
        PixelRect area;                  // where it draws, in Direct3D pixels
    };
    std::optional<GridDraw> gridDraw(const void* data, UINT stride);
    bool drawsColourOnly() const;
    void refreshGrid(Texture& texture);
    void beginGridDraw(const GridDraw& draw);
    void endGridDraw(const GridDraw& draw);
    void blit(GLuint from, const PixelRect& source, GLuint to, const PixelRect& target);
    void applyOutput();
    void applyProgram();
    void applyVertexLayout(DWORD fvf, UINT stride, GLuint buffer, std::size_t offset);
    void applyViewport();
    void applyTarget();
    void applyTextures();
    void applySampler(DWORD slot);
    GLuint framebufferFor(const Surface* color, const Surface* depth);
    GLuint makeFramebuffer(GLuint texture, GLint level, const Surface* depth);
    // The show's draw states met once while loading, or those of this run written down when
    // LUMIFLUX_DRAW_STATES names a file (DeviceDrawStates.cpp).
    void warmDrawStates();
    void warmDrawState(const DrawState& state, IDirect3DSurface9* depth,
                       std::map<std::uint32_t, IDirect3DTexture9*>& made);
    void noteDrawState(D3DPRIMITIVETYPE type);
    // Opens the list a run writes down; false when none was asked for.
    bool startDrawStateLog();

    HWND window_;
    D3DPRESENT_PARAMETERS parameters_;
    DeviceState state_;
    GLContext context_;
    GLStateCache cache_;
    ProgramCache programs_;
    StreamBuffer stream_;
    Program* program_ = nullptr;
    FixedFunctionKey::Bits programKey_{};
    std::FILE* drawStateLog_ = nullptr;
    std::set<DrawState> drawStatesSeen_;
    std::uint32_t transformGeneration_ = 1;
    std::uint32_t constantsGeneration_ = 1;
    bool points_ = false;
    float pointSizeCap_ = 64.0f;
    float scale_ = 1.0f;
    GLuint flatIndices_ = 0; // the rotated indices of a flat-shaded draw
    GLuint layoutBuffer_ = 0;
    GLuint elementBuffer_ = 0;
    DWORD layoutFvf_ = 0;
    UINT layoutStride_ = 0;
    std::size_t layoutOffset_ = ~std::size_t{0};
    bool inScene_ = false;
    FrameStats frame_, lastFrame_;
    FrameReadback frames_;

    std::unique_ptr<Surface> backBuffer_, autoDepth_;
    Surface* renderTarget_ = nullptr;
    Surface* depthStencil_ = nullptr;
    // Framebuffers by (colour texture, level, depth renderbuffer).
    std::map<std::tuple<GLuint, GLint, GLuint>, GLuint> framebuffers_;
    GLuint samplers_[samplerCount] = {};
};

} // namespace d3d9
