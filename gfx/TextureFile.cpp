#include "gfx/TextureFile.h"

#include "d3dx9.h"

namespace {
HRESULT reported(HRESULT result, const char* fileName) {
    if (result != 0) MessageBoxA(nullptr, fileName, "読み込み失敗", MB_OK);
    return result;
}
} // namespace

HRESULT loadTextureFile(IDirect3DDevice9* device, const char* fileName,
                        IDirect3DTexture9** texture) {
    return reported(D3DXCreateTextureFromFileA(device, fileName, texture), fileName);
}

HRESULT loadTextureFileKeyed(IDirect3DDevice9* device, const char* fileName, D3DCOLOR colorKey,
                             IDirect3DTexture9** texture) {
    return reported(D3DXCreateTextureFromFileExA(device, fileName, D3DX_DEFAULT, D3DX_DEFAULT,
                                                 D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                                 D3DX_DEFAULT, D3DX_DEFAULT, colorKey, nullptr,
                                                 nullptr, texture),
                    fileName);
}
