#include "Device.h"

#include "GLProfile.h"
#include "Texture.h"
#include "Win32Internal.h"
#include "core/Clock.h"
#include "core/MemoryPolicy.h"
#include "core/PresentLog.h"
#include "core/RunMode.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace d3d9 {

Device::Device(HWND window, const D3DPRESENT_PARAMETERS& parameters)
    : window_(window), parameters_(parameters) {}

bool Device::create() {
    SDL_Window* sdl = platform::sdlWindowOf(window_);
    if (!sdl) return false;
    int width = static_cast<int>(parameters_.BackBufferWidth);
    int height = static_cast<int>(parameters_.BackBufferHeight);
    if (width == 0 || height == 0) // taken from the window's client area, as the platform does
        SDL_GetWindowSize(sdl, &width, &height);
    if (width <= 0 || height <= 0 || !context_.create(sdl)) return false;
    parameters_.BackBufferWidth = static_cast<UINT>(width);
    parameters_.BackBufferHeight = static_cast<UINT>(height);
    if (parameters_.BackBufferCount == 0) parameters_.BackBufferCount = 1;
    cache_.invalidate();
    stream_.create(cache_, 4u << 20);
    glGenSamplers(samplerCount, samplers_);
    const GLProfile& profile = glProfile();
    if (profile.programPointSizeSwitch) glEnable(GL_PROGRAM_POINT_SIZE);
    // Rendering flips y, so the sprite's top (v = 0) is the framebuffer's lower edge; without the
    // switch the fragment program flips the coordinate.
    if (profile.pointCoordOrigin) glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    GLfloat pointRange[2] = {1.0f, 64.0f};
    glGetFloatv(GL_POINT_SIZE_RANGE, pointRange);
    pointSizeCap_ = std::min(256.0f, pointRange[1]); // the device's MaxPointSize
    if (applyPresentation(parameters_) != D3D_OK) return false;
    scale_ = outputScale(sdl, parameters_);

    // The device's own buffers count their references on the device.
    backBuffer_ = std::make_unique<Surface>(
        *this, this,
        Surface::Shape{Surface::Kind::Color, parameters_.BackBufferFormat,
                       parameters_.BackBufferWidth, parameters_.BackBufferHeight,
                       D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT});
    if (parameters_.EnableAutoDepthStencil)
        autoDepth_ = std::make_unique<Surface>(
            *this, this,
            Surface::Shape{Surface::Kind::DepthStencil, parameters_.AutoDepthStencilFormat,
                           parameters_.BackBufferWidth, parameters_.BackBufferHeight,
                           D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT});
    renderTarget_ = backBuffer_.get();
    depthStencil_ = autoDepth_.get();
    state_.setDefaults(parameters_.EnableAutoDepthStencil, parameters_.BackBufferWidth,
                       parameters_.BackBufferHeight);
    if (framebufferFor(renderTarget_, depthStencil_) == 0) return false;
    // A capture's frames wait for nothing, so only real-time play pays for meeting them first.
    if (!startDrawStateLog() && !platform::runMode().capture) warmDrawStates();
    return true;
}

Device::~Device() {
    if (drawStateLog_) std::fclose(drawStateLog_);
    frames_.destroy();
    renderTarget_ = depthStencil_ = nullptr;
    backBuffer_.reset();
    autoDepth_.reset();
    for (auto& [key, framebuffer] : framebuffers_)
        glDeleteFramebuffers(1, &framebuffer);
    glDeleteSamplers(samplerCount, samplers_);
    if (flatIndices_) deleteBuffer(GL_ELEMENT_ARRAY_BUFFER, flatIndices_);
    programs_.destroy();
    stream_.destroy();
    context_.destroy();
}

// Full screen is the back buffer scaled to the whole display, aspect kept, no mode change.
HRESULT Device::applyPresentation(const D3DPRESENT_PARAMETERS& parameters) {
    const bool fullScreen = !parameters.Windowed;
    if (!platform::runMode().capture && fullScreen != context_.fullScreen()) {
        SDL_Window* sdl = platform::sdlWindowOf(window_);
        if (!sdl || SDL_SetWindowFullscreen(sdl, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0))
            return D3DERR_INVALIDCALL;
    }
    context_.setFullScreen(fullScreen);
    return D3D_OK;
}

HRESULT Device::Present(const RECT*, const RECT*, HWND, const void*) {
    if (!context_.alive()) return D3DERR_INVALIDCALL;
    auto& mode = platform::runMode();
    const int width = static_cast<int>(backBuffer_->storedWidth());
    const int height = static_cast<int>(backBuffer_->storedHeight());
    const GLuint framebuffer = framebufferFor(backBuffer_.get(), nullptr);
    if (mode.capture) {
        frames_.capture(framebuffer, width, height);
        if (mode.sink) platform::Clock::instance().advance(mode.sink->frameMilliseconds());
    }
    // A capture in a browser page is shown as it is drawn.
    if (!mode.capture || context_.onScreen()) context_.presentToWindow(framebuffer, width, height);
    if (!mode.capture) {
        context_.waitUntilDrawn(); // a capture's readback has waited already
        platform::MemoryPolicy::smallPagesFromNowOn();
        platform::PresentLog::instance().record();
    }
    // Presenting rebinds and clears behind the cache's back.
    cache_.invalidate();
    state_.dirty = DirtyAll;
    frame_.gl = cache_.counters();
    lastFrame_ = frame_;
    frame_ = {};
    cache_.resetCounters();
    return D3D_OK;
}

// Never reports loss: resources survive, and the state returns to Direct3D's defaults.
HRESULT Device::Reset(D3DPRESENT_PARAMETERS* parameters) {
    if (!parameters) return D3DERR_INVALIDCALL;
    const HRESULT result = applyPresentation(*parameters);
    if (result != D3D_OK) return result;
    parameters->BackBufferWidth = backBuffer_->width();
    parameters->BackBufferHeight = backBuffer_->height();
    if (parameters->BackBufferCount == 0) parameters->BackBufferCount = 1;
    parameters_ = *parameters;
    state_.setDefaults(parameters_.EnableAutoDepthStencil && autoDepth_,
                       parameters_.BackBufferWidth, parameters_.BackBufferHeight);
    renderTarget_ = backBuffer_.get();
    depthStencil_ = parameters_.EnableAutoDepthStencil ? autoDepth_.get() : nullptr;
    inScene_ = false;
    return D3D_OK;
}

HRESULT Device::BeginScene() {
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT Device::EndScene() {
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

// Clears the viewport only (or the given rectangles inside it), whatever the write masks say.
HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                      DWORD stencil) {
    if (!context_.alive()) return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthStencil_)
        return D3DERR_INVALIDCALL; // and the colour is left as it was

    if (count == 0 && rects) return D3D_OK; // the platform clears nothing then
    GLbitfield mask = 0;
    OutputState masks;
    masks.depthTest = false;
    masks.cull = D3DCULL_NONE;
    if (flags & D3DCLEAR_TARGET) {
        mask |= GL_COLOR_BUFFER_BIT;
        glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f,
                     (color & 0xFF) / 255.0f, ((color >> 24) & 0xFF) / 255.0f);
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        mask |= GL_DEPTH_BUFFER_BIT;
        glClearDepth(z);
    }
    if (flags & D3DCLEAR_STENCIL) {
        mask |= GL_STENCIL_BUFFER_BIT;
        glClearStencil(static_cast<GLint>(stencil & 0xFF));
        glStencilMask(0xFF);
    }
    if (!mask) return D3D_OK;
    applyTarget();
    cache_.apply(masks);
    state_.dirty |= DirtyOutput;

    const D3DVIEWPORT9& vp = state_.viewport;
    const LONG left = static_cast<LONG>(vp.X), top = static_cast<LONG>(vp.Y);
    const LONG right = left + static_cast<LONG>(vp.Width),
               bottom = top + static_cast<LONG>(vp.Height);
    const D3DRECT whole{left, top, right, bottom};
    const DWORD pieces = rects ? count : 1; // no list: the whole viewport, whatever the count
    for (DWORD i = 0; i < pieces; ++i) {
        const D3DRECT& r = rects ? rects[i] : whole;
        const LONG x1 = std::max(r.x1, left), y1 = std::max(r.y1, top);
        const LONG x2 = std::min(r.x2, right), y2 = std::min(r.y2, bottom);
        if (x2 <= x1 || y2 <= y1) continue; // empty or inverted rectangles are skipped
        // Surfaces are stored top row first, so Direct3D rows are framebuffer rows.
        const GLint left = scaledEdge(x1), top = scaledEdge(y1);
        cache_.setScissor(true, left, top, scaledEdge(x2) - left, scaledEdge(y2) - top);
        glClear(mask);
    }
    cache_.setScissor(false, 0, 0, 0, 0);
    if (Texture* drawnInto = renderTarget_->texture()) drawnInto->markDrawn();
    ++frame_.clears;
    return D3D_OK;
}

D3DMATRIX* Device::transformSlot(D3DTRANSFORMSTATETYPE state) {
    switch (state) {
    case D3DTS_WORLD:
        return &state_.world;
    case D3DTS_VIEW:
        return &state_.view;
    case D3DTS_PROJECTION:
        return &state_.projection;
    default:
        return nullptr;
    }
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    D3DMATRIX* slot = transformSlot(state);
    if (!matrix) return D3DERR_INVALIDCALL;
    if (!slot) return D3D_OK; // texture transforms: stored nowhere, since nothing here applies them
    if (std::memcmp(slot, matrix, sizeof(D3DMATRIX)) != 0) {
        *slot = *matrix;
        // Lights live in view space, so a new view moves them too.
        state_.dirty |= DirtyTransforms | (state == D3DTS_VIEW ? DirtyConstants : 0u);
    }
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    D3DMATRIX* slot = transformSlot(state);
    if (!matrix) return D3DERR_INVALIDCALL;
    *matrix = slot ? *slot : identityMatrix();
    return D3D_OK;
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* viewport) {
    if (!viewport || viewport->Width == 0 || viewport->Height == 0) return D3DERR_INVALIDCALL;
    state_.viewport = *viewport;
    state_.dirty |= DirtyViewport;
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT9* viewport) {
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state >= static_cast<DWORD>(renderStateCount)) return D3DERR_INVALIDCALL;
    DWORD& slot = state_.renderStates[state];
    if (slot != value) {
        slot = value;
        state_.dirty |= dirtyGroupOfRenderState(state);
    }
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (!value || state >= static_cast<DWORD>(renderStateCount)) return D3DERR_INVALIDCALL;
    *value = state_.renderStates[state];
    return D3D_OK;
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler >= static_cast<DWORD>(samplerCount) ||
        type >= static_cast<DWORD>(samplerStateCount))
        return D3DERR_INVALIDCALL;
    DWORD& slot = state_.samplerStates[sampler][type];
    if (slot != value) {
        slot = value;
        state_.dirty |= DirtySamplers;
    }
    return D3D_OK;
}

HRESULT Device::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    if (!value || sampler >= static_cast<DWORD>(samplerCount) ||
        type >= static_cast<DWORD>(samplerStateCount))
        return D3DERR_INVALIDCALL;
    *value = state_.samplerStates[sampler][type];
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= static_cast<DWORD>(stageCount) || type >= static_cast<DWORD>(stageStateCount))
        return D3DERR_INVALIDCALL;
    DWORD& slot = state_.stageStates[stage][type];
    if (slot != value) {
        slot = value;
        if (stage == 0) // later stages are stored only; the demo draws with stage 0
            state_.dirty |= DirtyProgram;
    }
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (!value || stage >= static_cast<DWORD>(stageCount) ||
        type >= static_cast<DWORD>(stageStateCount))
        return D3DERR_INVALIDCALL;
    *value = state_.stageStates[stage][type];
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= static_cast<DWORD>(stageCount)) return D3DERR_INVALIDCALL;
    if (state_.textures[stage] != texture) {
        state_.textures[stage] = texture;
        if (stage == 0) state_.dirty |= DirtyTextures | DirtyProgram;
    }
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    if (!texture || stage >= static_cast<DWORD>(stageCount)) return D3DERR_INVALIDCALL;
    *texture = state_.textures[stage];
    if (*texture) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT Device::SetFVF(DWORD fvf) {
    if (state_.fvf != fvf) {
        state_.fvf = fvf;
        state_.dirty |= DirtyProgram;
    }
    return D3D_OK;
}

HRESULT Device::GetFVF(DWORD* fvf) {
    if (!fvf) return D3DERR_INVALIDCALL;
    *fvf = state_.fvf;
    return D3D_OK;
}

} // namespace d3d9
