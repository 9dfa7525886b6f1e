// Lights, the material, and the buffers the device draws from.
#include "Buffer.h"
#include "Device.h"

#include <cstring>

namespace d3d9 {

HRESULT Device::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (!light || light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL)
        return D3DERR_INVALIDCALL;
    auto& slot = state_.lights[index];
    slot.light = *light;
    state_.dirty |= DirtyConstants;
    return D3D_OK;
}

HRESULT Device::GetLight(DWORD index, D3DLIGHT9* light) {
    auto found = state_.lights.find(index);
    if (!light || found == state_.lights.end()) return D3DERR_INVALIDCALL;
    *light = found->second.light;
    return D3D_OK;
}

HRESULT Device::LightEnable(DWORD index, BOOL enable) {
    auto found = state_.lights.find(index);
    if (found == state_.lights.end()) // a slot never set gets the default light
        found = state_.lights.emplace(index, DeviceState::LightSlot{defaultLight(), false}).first;
    if (found->second.enabled != (enable != FALSE)) {
        found->second.enabled = enable != FALSE;
        state_.dirty |= DirtyConstants | DirtyProgram;
    }
    return D3D_OK;
}

HRESULT Device::GetLightEnable(DWORD index, BOOL* enable) {
    auto found = state_.lights.find(index);
    if (!enable || found == state_.lights.end()) return D3DERR_INVALIDCALL;
    *enable = found->second.enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL9* material) {
    if (!material) return D3DERR_INVALIDCALL;
    if (std::memcmp(&state_.material, material, sizeof(D3DMATERIAL9)) != 0) {
        state_.material = *material;
        state_.dirty |= DirtyConstants;
    }
    return D3D_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL9* material) {
    if (!material) return D3DERR_INVALIDCALL;
    *material = state_.material;
    return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer9** buffer, HANDLE*) {
    if (!buffer) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0 || length > (1u << 30)) return D3DERR_INVALIDCALL;
    *buffer = new VertexBuffer(*this, length, usage, fvf, pool);
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer9** buffer, HANDLE*) {
    if (!buffer) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0 || length > (1u << 30) ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    *buffer = new IndexBuffer(*this, length, usage, format, pool);
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                                UINT stride) {
    if (stream != 0) return D3DERR_INVALIDCALL; // the demo draws from one stream
    state_.stream = buffer;
    state_.streamOffset = offset;
    state_.streamStride = stride;
    state_.dirty |= DirtyStream;
    return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* buffer) {
    state_.indices = buffer;
    state_.dirty |= DirtyStream;
    return D3D_OK;
}

void Device::bindBuffer(GLenum target, GLuint buffer) {
    if (target == GL_ARRAY_BUFFER) {
        cache_.bindArrayBuffer(buffer);
    } else if (buffer != elementBuffer_) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer); // part of the one vertex array's state
        elementBuffer_ = buffer;
    }
}

void Device::deleteBuffer(GLenum target, GLuint buffer) {
    if (target == GL_ARRAY_BUFFER)
        cache_.forgetArrayBuffer(buffer);
    else if (elementBuffer_ == buffer)
        elementBuffer_ = 0;
    if (layoutBuffer_ == buffer)
        layoutFvf_ = 0, layoutBuffer_ = 0; // the vertex array no longer points into it
    glDeleteBuffers(1, &buffer);
}

void Device::forgetBuffer(IUnknown* buffer) {
    if (state_.stream == buffer) state_.stream = nullptr;
    if (state_.indices == buffer) state_.indices = nullptr;
}

} // namespace d3d9
