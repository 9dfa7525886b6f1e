#include "d3dx9.h"

#include "Picture.h"
#include "core/Paths.h"

#include <algorithm>
#include <cstdint>
#include <vector>


namespace {

using d3dx9::Picture;

// Image files larger than this are refused unread.
constexpr std::size_t maxFileBytes = 256u << 20;

UINT nextPowerOfTwo(UINT v) {
    UINT p = 1;
    while (p < v)
        p <<= 1;
    return p;
}

UINT sizeFor(UINT asked, int fromFile) {
    if (asked == D3DX_DEFAULT || asked == 0) return nextPowerOfTwo(static_cast<UINT>(fromFile));
    if (asked == D3DX_DEFAULT_NONPOW2 || asked == D3DX_FROM_FILE)
        return static_cast<UINT>(fromFile);
    return asked;
}

HRESULT fill(IDirect3DTexture9* texture, Picture level) {
    for (DWORD i = 0; i < texture->GetLevelCount(); ++i) {
        if (i > 0) // each level from the one above, as the box mip filter makes them
            level = level.halved();
        D3DLOCKED_RECT locked{};
        if (FAILED(texture->LockRect(i, &locked, nullptr, 0))) return D3DERR_INVALIDCALL;
        for (int y = 0; y < level.height; ++y)
            std::copy_n(
                level.argb.data() + static_cast<std::size_t>(y) * level.width, level.width,
                reinterpret_cast<std::uint32_t*>(static_cast<unsigned char*>(locked.pBits) +
                                                 static_cast<std::size_t>(y) * locked.Pitch));
        texture->UnlockRect(i);
    }
    return D3D_OK;
}

} // namespace

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels,
                          DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture) {
    if (!device || !texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (width == D3DX_DEFAULT) width = height == D3DX_DEFAULT ? 256 : height;
    if (height == D3DX_DEFAULT) height = width;
    width = std::max(width, 1u);
    height = std::max(height, 1u);
    if (mipLevels == D3DX_DEFAULT) mipLevels = 0;
    return device->CreateTexture(width, height, mipLevels, usage, format, pool, texture, nullptr);
}

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR fileName,
                                   IDirect3DTexture9** texture) {
    return D3DXCreateTextureFromFileExA(device, fileName, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                        0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                        D3DX_DEFAULT, 0, nullptr, nullptr, texture);
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, LPCSTR fileName, UINT width,
                                     UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                     D3DPOOL pool, DWORD, DWORD, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* sourceInfo, PALETTEENTRY*,
                                     IDirect3DTexture9** texture) {
    if (!device || !fileName || !texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    std::vector<unsigned char> bytes;
    Picture picture;
    int channels = 0;
    if (!platform::readWholeFile(platform::nativePath(fileName), bytes, maxFileBytes) ||
        !Picture::decode(bytes.data(), bytes.size(), picture, channels))
        return D3DXERR_INVALIDDATA;

    // From the file: alpha where the picture has it, or where a colour key will make some.
    const bool fromFile = format == D3DFMT_UNKNOWN || format == D3DFMT_FROM_FILE ||
                          static_cast<UINT>(format) == D3DX_DEFAULT;
    if (fromFile)
        format =
            channels == 2 || channels == 4 || colorKey != 0 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    if (sourceInfo)
        *sourceInfo =
            D3DXIMAGE_INFO{static_cast<UINT>(picture.width),
                           static_cast<UINT>(picture.height),
                           1,
                           1,
                           channels == 2 || channels == 4 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8,
                           D3DRTYPE_TEXTURE,
                           0};
    // Keyed on the source texels, before resizing, so filtering fringes towards transparent.
    if (colorKey != 0)
        for (std::uint32_t& texel : picture.argb)
            if (texel == colorKey) texel = 0;

    const UINT w = sizeFor(width, picture.width), h = sizeFor(height, picture.height);
    const UINT levels = mipLevels == D3DX_DEFAULT ? 0 : mipLevels == D3DX_FROM_FILE ? 1 : mipLevels;
    // The library fills textures through the memory copy of the managed pool.
    const D3DPOOL memoryPool = pool == D3DPOOL_DEFAULT ? D3DPOOL_MANAGED : pool;
    HRESULT result =
        device->CreateTexture(w, h, levels, usage, format, memoryPool, texture, nullptr);
    if (FAILED(result)) return result;
    result = fill(*texture, picture.resampled(static_cast<int>(w), static_cast<int>(h)));
    if (FAILED(result)) {
        (*texture)->Release();
        *texture = nullptr;
    }
    return result;
}
