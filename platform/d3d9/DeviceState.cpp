#include "DeviceState.h"

namespace d3d9 {

D3DMATRIX identityMatrix() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// What LightEnable makes of a slot never set: a white directional light along +z.
D3DLIGHT9 defaultLight() {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    return light;
}

void DeviceState::setDefaults(bool autoDepthStencil, DWORD targetWidth, DWORD targetHeight) {
    renderStates.fill(0);
    auto rs = [this](D3DRENDERSTATETYPE s, DWORD v) { renderStates[s] = v; };
    rs(D3DRS_ZENABLE, autoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE);
    rs(D3DRS_FILLMODE, D3DFILL_SOLID);
    rs(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    rs(D3DRS_ZWRITEENABLE, TRUE);
    rs(D3DRS_LASTPIXEL, TRUE);
    rs(D3DRS_SRCBLEND, D3DBLEND_ONE);
    rs(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    rs(D3DRS_CULLMODE, D3DCULL_CCW);
    rs(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    rs(D3DRS_ALPHAFUNC, D3DCMP_ALWAYS);
    rs(D3DRS_FOGEND, floatBits(1.0f));
    rs(D3DRS_FOGDENSITY, floatBits(1.0f));
    rs(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    rs(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
    rs(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    rs(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    rs(D3DRS_STENCILMASK, 0xFFFFFFFF);
    rs(D3DRS_STENCILWRITEMASK, 0xFFFFFFFF);
    rs(D3DRS_TEXTUREFACTOR, 0xFFFFFFFF);
    rs(D3DRS_CLIPPING, TRUE);
    rs(D3DRS_LIGHTING, TRUE);
    rs(D3DRS_COLORVERTEX, TRUE);
    rs(D3DRS_LOCALVIEWER, TRUE);
    rs(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    rs(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2);
    rs(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
    rs(D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL);
    rs(D3DRS_POINTSIZE, floatBits(1.0f));
    rs(D3DRS_POINTSIZE_MIN, floatBits(1.0f));
    rs(D3DRS_POINTSCALE_A, floatBits(1.0f));
    rs(D3DRS_MULTISAMPLEANTIALIAS, TRUE);
    rs(D3DRS_MULTISAMPLEMASK, 0xFFFFFFFF);
    rs(D3DRS_POINTSIZE_MAX, floatBits(64.0f));
    rs(D3DRS_COLORWRITEENABLE, 0x0000000F);
    rs(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    rs(D3DRS_BLENDFACTOR, 0xFFFFFFFF);
    rs(D3DRS_SRCBLENDALPHA, D3DBLEND_ONE);
    rs(D3DRS_DESTBLENDALPHA, D3DBLEND_ZERO);
    rs(D3DRS_BLENDOPALPHA, D3DBLENDOP_ADD);

    for (auto& sampler : samplerStates) {
        sampler.fill(0);
        sampler[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
        sampler[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
        sampler[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        sampler[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
        sampler[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        sampler[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        sampler[D3DSAMP_MAXANISOTROPY] = 1;
    }

    for (int i = 0; i < stageCount; ++i) {
        auto& stage = stageStates[static_cast<std::size_t>(i)];
        stage.fill(0);
        stage[D3DTSS_COLOROP] = i == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        stage[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        stage[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        stage[D3DTSS_ALPHAOP] = i == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        stage[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        stage[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        stage[D3DTSS_TEXCOORDINDEX] = static_cast<DWORD>(i);
        stage[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        stage[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        stage[D3DTSS_RESULTARG] = D3DTA_CURRENT;
    }

    world = view = projection = identityMatrix();
    fvf = 0;
    textures.fill(nullptr);
    viewport = D3DVIEWPORT9{0, 0, targetWidth, targetHeight, 0.0f, 1.0f};
    lights.clear();
    material = D3DMATERIAL9{};
    stream = nullptr;
    streamOffset = streamStride = 0;
    indices = nullptr;
    dirty = DirtyAll;
}

std::uint32_t dirtyGroupOfRenderState(D3DRENDERSTATETYPE state) {
    switch (state) {
    case D3DRS_ZENABLE:
        return DirtyOutput | DirtyProgram; // pre-transformed depth is forced to 0 without it
    case D3DRS_ZWRITEENABLE:
    case D3DRS_ZFUNC:
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_BLENDOP:
    case D3DRS_CULLMODE:
    case D3DRS_COLORWRITEENABLE:
        return DirtyOutput;
    case D3DRS_AMBIENT:
    case D3DRS_TEXTUREFACTOR:
    case D3DRS_POINTSIZE:
    case D3DRS_POINTSIZE_MIN:
    case D3DRS_POINTSIZE_MAX:
    case D3DRS_POINTSCALE_A:
    case D3DRS_POINTSCALE_B:
    case D3DRS_POINTSCALE_C:
        return DirtyConstants;
    default:
        return DirtyProgram;
    }
}

} // namespace d3d9
