#include "d3dx9.h"

#include "core/Paths.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_ONLY_GIF
#include <stb_image.h>

namespace {

// Pictures larger than this are refused before anything is allocated.
constexpr int largestSide = 8192;

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> argb; // rows top first
};

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

std::uint32_t channel(std::uint32_t c, int shift) {
    return (c >> shift) & 0xFF;
}

// Bilinear resampling with pixel centres mapped onto each other: the whole picture stays in
// the texture whatever its new size.
Picture resample(const Picture& in, int width, int height) {
    if (in.width == width && in.height == height) return in;
    Picture out;
    out.width = width;
    out.height = height;
    out.argb.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const float sy = std::clamp((y + 0.5f) * in.height / height - 0.5f, 0.0f,
                                    static_cast<float>(in.height - 1));
        const int y0 = static_cast<int>(sy), y1 = std::min(y0 + 1, in.height - 1);
        const float fy = sy - static_cast<float>(y0);
        for (int x = 0; x < width; ++x) {
            const float sx = std::clamp((x + 0.5f) * in.width / width - 0.5f, 0.0f,
                                        static_cast<float>(in.width - 1));
            const int x0 = static_cast<int>(sx), x1 = std::min(x0 + 1, in.width - 1);
            const float fx = sx - static_cast<float>(x0);
            const std::uint32_t a = in.argb[static_cast<std::size_t>(y0) * in.width + x0],
                                b = in.argb[static_cast<std::size_t>(y0) * in.width + x1],
                                c = in.argb[static_cast<std::size_t>(y1) * in.width + x0],
                                d = in.argb[static_cast<std::size_t>(y1) * in.width + x1];
            std::uint32_t result = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const float top =
                    channel(a, shift) + (channel(b, shift) - float(channel(a, shift))) * fx;
                const float bottom =
                    channel(c, shift) + (channel(d, shift) - float(channel(c, shift))) * fx;
                const auto v = static_cast<std::uint32_t>(top + (bottom - top) * fy + 0.5f);
                result |= std::min(v, 255u) << shift;
            }
            out.argb[static_cast<std::size_t>(y) * width + x] = result;
        }
    }
    return out;
}

// The next level down: each texel the rounded mean of the (up to) four above it.
Picture halve(const Picture& in) {
    Picture out;
    out.width = std::max(1, in.width / 2);
    out.height = std::max(1, in.height / 2);
    out.argb.resize(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const int x0 = std::min(2 * x, in.width - 1), x1 = std::min(2 * x + 1, in.width - 1);
            const int y0 = std::min(2 * y, in.height - 1), y1 = std::min(2 * y + 1, in.height - 1);
            const std::uint32_t t[4] = {in.argb[static_cast<std::size_t>(y0) * in.width + x0],
                                        in.argb[static_cast<std::size_t>(y0) * in.width + x1],
                                        in.argb[static_cast<std::size_t>(y1) * in.width + x0],
                                        in.argb[static_cast<std::size_t>(y1) * in.width + x1]};
            std::uint32_t result = 0;
            for (int shift = 0; shift < 32; shift += 8)
                result |= ((channel(t[0], shift) + channel(t[1], shift) + channel(t[2], shift) +
                            channel(t[3], shift) + 2) /
                           4)
                          << shift;
            out.argb[static_cast<std::size_t>(y) * out.width + x] = result;
        }
    return out;
}

HRESULT fill(IDirect3DTexture9* texture, Picture level) {
    for (DWORD i = 0; i < texture->GetLevelCount(); ++i) {
        if (i > 0) // each level from the one above, as the box mip filter makes them
            level = halve(level);
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

bool decode(const std::vector<unsigned char>& bytes, Picture& picture, int& channels) {
    int w = 0, h = 0;
    const int length = static_cast<int>(bytes.size());
    if (bytes.empty() || !stbi_info_from_memory(bytes.data(), length, &w, &h, &channels) ||
        w <= 0 || h <= 0 || w > largestSide || h > largestSide)
        return false;
    int comp = 0;
    unsigned char* rgba = stbi_load_from_memory(bytes.data(), length, &w, &h, &comp, 4);
    if (!rgba) return false;
    picture.width = w;
    picture.height = h;
    picture.argb.resize(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < picture.argb.size(); ++i) {
        const unsigned char* p = rgba + 4 * i;
        picture.argb[i] = D3DCOLOR_ARGB(p[3], p[0], p[1], p[2]);
    }
    stbi_image_free(rgba);
    return true;
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
    std::ifstream file(platform::nativePath(fileName), std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    Picture picture;
    int channels = 0;
    if (!file.good() && !file.eof()) return D3DXERR_INVALIDDATA;
    if (!decode(bytes, picture, channels)) return D3DXERR_INVALIDDATA;

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
    result = fill(*texture, resample(picture, static_cast<int>(w), static_cast<int>(h)));
    if (FAILED(result)) {
        (*texture)->Release();
        *texture = nullptr;
    }
    return result;
}
