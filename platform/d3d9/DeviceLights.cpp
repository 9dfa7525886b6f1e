// Lights and the material: the fixed-function lighting's state.
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

} // namespace d3d9
