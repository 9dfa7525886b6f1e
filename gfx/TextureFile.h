#pragma once
#include "d3d9.h"

// Loads an image file into a new managed texture, telling the user by name when it cannot.
// With a colour key the texture is A8R8G8B8 and the key's texels transparent black.
HRESULT loadTextureFile(IDirect3DDevice9* device, const char* fileName,
                        IDirect3DTexture9** texture);
HRESULT loadTextureFileKeyed(IDirect3DDevice9* device, const char* fileName, D3DCOLOR colorKey,
                             IDirect3DTexture9** texture);
