#include "demo/ColorRect.h"

#include "gfx/ScreenVertex.h"

int ColorRect::init(IDirect3DDevice9* device_) {
    device = device_;
    red = green = blue = 255;
    alpha = 255;
    return 0;
}

void ColorRect::drawRect(float x, float y, float z, float width, float height) {
    if (!device) return;
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
    device->SetTransform(D3DTS_WORLD, &identity);

    const D3DCOLOR color = D3DCOLOR_ARGB(alpha, static_cast<unsigned>(red),
                                         static_cast<unsigned>(green), static_cast<unsigned>(blue));
    const ScreenVertex quad[4] = {
        {x, y, z, 1.0f, color, 0.0f, 0.0f},
        {x + width, y, z, 1.0f, color, 1.0f, 0.0f},
        {x + width, y + height, z, 1.0f, color, 1.0f, 1.0f},
        {x, y + height, z, 1.0f, color, 0.0f, 1.0f},
    };
    device->SetFVF(ScreenVertex::format);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ScreenVertex));
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}

void ColorRect::setColor(int red_, int green_, int blue_) {
    red = red_;
    green = green_;
    blue = blue_;
}

void ColorRect::setAlpha(unsigned char alpha_) {
    alpha = alpha_;
}
