#include "gfx/WorldRect.h"

#include "d3dx9.h"
#include "gfx/WorldVertex.h"

int WorldRect::init(IDirect3DDevice9* device_) {
    device = device_;
    red = green = blue = 255;
    alpha = 255;
    return 0;
}

// Texture stage and z-writes are left as they are.
void WorldRect::drawRect(float x, float y, float z, float w, float h) {
    if (!device) return;
    D3DXMATRIX identity;
    D3DXMatrixTranslation(&identity, 0, 0, 0);
    device->SetTransform(D3DTS_WORLD, &identity);
    const D3DCOLOR colour =
        D3DCOLOR_ARGB(alpha, static_cast<unsigned>(red) & 0xFF, static_cast<unsigned>(green) & 0xFF,
                      static_cast<unsigned>(blue) & 0xFF);
    const WorldVertex quad[4] = {{x, y, z, colour, 0, 0},
                                 {x + w, y, z, colour, 1, 0},
                                 {x + w, y + h, z, colour, 1, 1},
                                 {x, y + h, z, colour, 0, 1}};
    device->SetFVF(WorldVertex::format);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(WorldVertex));
}

void WorldRect::setColor(int red_, int green_, int blue_) {
    red = red_;
    green = green_;
    blue = blue_;
}

void WorldRect::setAlpha(unsigned char alpha_) {
    alpha = alpha_;
}
