#include "Device.h"
#include "VertexFormat.h"
#include "Texture.h"

namespace d3d9 {
namespace {

bool readsTexture(DWORD argument) {
    return argument == D3DTA_TEXTURE;
}

bool readsDiffuse(DWORD argument) {
    return argument == D3DTA_DIFFUSE || argument == D3DTA_CURRENT;
}

// The stage's colour is the texel's, scaled or not: zero wherever the texel is black.
bool colourFollowsTexel(const std::array<DWORD, stageStateCount>& stage) {
    const DWORD a1 = stage[D3DTSS_COLORARG1], a2 = stage[D3DTSS_COLORARG2];
    switch (stage[D3DTSS_COLOROP]) {
    case D3DTOP_SELECTARG1:
        return readsTexture(a1);
    case D3DTOP_SELECTARG2:
        return readsTexture(a2);
    case D3DTOP_MODULATE:
        return (readsTexture(a1) && readsDiffuse(a2)) || (readsTexture(a2) && readsDiffuse(a1));
    default:
        return false;
    }
}

bool repeats(DWORD address) {
    return address != D3DTADDRESS_CLAMP && address != D3DTADDRESS_BORDER;
}

} // namespace

// Blending adds the source onto a target without alpha, nothing else writes (depth, stencil),
// and the source colour is zero wherever the texel is black.
bool Device::blackAddsNothing() const {
    const auto& rs = state_.renderStates;
    const DWORD source = rs[D3DRS_SRCBLEND];
    if (!rs[D3DRS_ALPHABLENDENABLE] || rs[D3DRS_BLENDOP] != D3DBLENDOP_ADD ||
        rs[D3DRS_DESTBLEND] != D3DBLEND_ONE ||
        (source != D3DBLEND_ONE && source != D3DBLEND_SRCALPHA))
        return false;
    if (!renderTarget_ || renderTarget_->format() != D3DFMT_X8R8G8B8) return false;
    const bool depthWrites =
        depthStencil_ && rs[D3DRS_ZENABLE] != D3DZB_FALSE && rs[D3DRS_ZWRITEENABLE] != FALSE;
    if (depthWrites || rs[D3DRS_STENCILENABLE] || rs[D3DRS_FOGENABLE]) return false;
    if (rs[D3DRS_SPECULARENABLE] && (state_.fvf & D3DFVF_SPECULAR)) return false;
    return colourFollowsTexel(state_.stageStates[0]) &&
           state_.stageStates[1][D3DTSS_COLOROP] == D3DTOP_DISABLE;
}

std::optional<PixelRect> Device::inkedArea(D3DPRIMITIVETYPE type, UINT primitives, const void* data,
                                           UINT stride) const {
    if ((type != D3DPT_TRIANGLEFAN && type != D3DPT_TRIANGLESTRIP) || primitives != 2 ||
        (state_.fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZRHW ||
        (state_.fvf & D3DFVF_TEXCOUNT_MASK) == 0)
        return std::nullopt;
    auto* texture = static_cast<Texture*>(static_cast<IDirect3DTexture9*>(state_.textures[0]));
    if (!texture || !texture->ink() || !blackAddsNothing()) return std::nullopt;
    const auto& sampler = state_.samplerStates[0];
    if (sampler[D3DSAMP_MIPFILTER] != D3DTEXF_NONE && texture->GetLevelCount() > 1)
        return std::nullopt; // smaller levels spread the ink
    const DWORD u = sampler[D3DSAMP_ADDRESSU], v = sampler[D3DSAMP_ADDRESSV];
    if ((u == D3DTADDRESS_BORDER || v == D3DTADDRESS_BORDER) &&
        (sampler[D3DSAMP_BORDERCOLOR] & 0x00FFFFFF) != 0)
        return std::nullopt; // the border itself adds
    const InkSampling sampling{*texture->ink(), static_cast<int>(texture->width()),
                               static_cast<int>(texture->height()), repeats(u) || repeats(v)};
    auto area = inkedPixels(data, stride, vertexSize(state_.fvf & ~D3DFVF_TEXCOUNT_MASK), sampling);
    if (!area) return std::nullopt;
    area->left = std::max(area->left, 0);
    area->top = std::max(area->top, 0);
    area->right = std::min(area->right, static_cast<int>(renderTarget_->width()));
    area->bottom = std::min(area->bottom, static_cast<int>(renderTarget_->height()));
    return area;
}

} // namespace d3d9
