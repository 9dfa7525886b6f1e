#include "gfx/Sprite.h"

#include "d3dx9.h"
#include "gfx/ScreenVertex.h"

#include <cmath>

void Sprite::reset() {
    TexturedDrawer::reset();
    scale = 1.0f;
    angle = uprightAngle;
}

void Sprite::draw(float x, float y, float z, float w, float h, float sx, float sy, float sw,
                  float sh) {
    // Without a device or a texel size there is nothing sensible to draw.
    if (!device || textureWidth <= 0 || textureHeight <= 0) return;
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    D3DXMATRIX identity;
    D3DXMatrixTranslation(&identity, 0, 0, 0);
    device->SetTransform(D3DTS_WORLD, &identity);

    if (scale != 1.0f) {
        const float scaledW = w * scale, scaledH = h * scale;
        x += (w - scaledW) * 0.5f;
        y += (h - scaledH) * 0.5f;
        w = scaledW;
        h = scaledH;
    }
    const float uLeft = sx / static_cast<float>(textureWidth);
    const float uRight = (sx + sw) / static_cast<float>(textureWidth);
    const float vTop = sy / static_cast<float>(textureHeight);
    const float vBottom = (sy + sh) / static_cast<float>(textureHeight);
    const D3DCOLOR colour = tint();

    float px[4], py[4];
    if (angle == uprightAngle) {
        px[0] = x, py[0] = y;
        px[1] = x + w, py[1] = y;
        px[2] = x + w, py[2] = y + h;
        px[3] = x, py[3] = y + h;
    } else {
        const float cx = x + w * 0.5f, cy = y + h * 0.5f;
        const float r = std::sqrt(w * w + h * h) * 0.5f;
        float theta[4];
        if (w == h) {
            for (int k = 0; k < 4; ++k)
                theta[k] = static_cast<float>(angle + 90 * k) * 0.017453292f;
        } else {
            const float pi = 3.1415927f;
            const float phi = std::atan((h * 0.5f) / (w * 0.5f));
            const float a = static_cast<float>(angle) * 0.017453292f;
            theta[0] = pi + phi + a;
            theta[1] = a - phi;
            theta[2] = a + phi;
            theta[3] = pi - phi + a;
        }
        for (int k = 0; k < 4; ++k) {
            px[k] = cx + r * std::cos(theta[k]);
            py[k] = cy + r * std::sin(theta[k]);
        }
    }
    const ScreenVertex quad[4] = {
        {px[0], py[0], z, 1.0f, colour, uLeft, vTop},
        {px[1], py[1], z, 1.0f, colour, uRight, vTop},
        {px[2], py[2], z, 1.0f, colour, uRight, vBottom},
        {px[3], py[3], z, 1.0f, colour, uLeft, vBottom},
    };
    device->SetTexture(0, texture);
    device->SetFVF(ScreenVertex::format);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ScreenVertex));
    device->SetTexture(0, nullptr);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}

void Sprite::drawWhole(float x, float y, float z, float width, float height) {
    draw(x, y, z, width, height, 0, 0, static_cast<float>(textureWidth),
         static_cast<float>(textureHeight));
}

void Sprite::setAngle(float degrees) {
    angle = static_cast<int>(degrees);
}

void Sprite::setScale(float factor) {
    scale = factor;
}

void Sprite::setTextureSize(int width, int height) {
    textureWidth = width;
    textureHeight = height;
}
