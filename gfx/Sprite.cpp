#include "gfx/Sprite.h"

#include "d3dx9.h"
#include "gfx/ScreenVertex.h"
#include "gfx/TextureFile.h"

#include <cmath>

HRESULT Sprite::loadWithColorKey(IDirect3DDevice9* device_, const char* fileName,
                                 D3DCOLOR colorKey) {
    device = device_;
    releaseTexture(); // a second load replaces the first rather than leaking it
    const HRESULT result = loadTextureFileKeyed(device, fileName, colorKey, &texture);
    reset();
    return result;
}

HRESULT Sprite::load(IDirect3DDevice9* device_, const char* fileName) {
    device = device_;
    releaseTexture();
    const HRESULT result = loadTextureFile(device, fileName, &texture);
    reset();
    return result;
}

// The sprite holds its own reference, so an owner that also keeps the texture releases its own.
int Sprite::attach(IDirect3DDevice9* device_, IDirect3DTexture9* texture_) {
    device = device_;
    if (texture_) texture_->AddRef();
    releaseTexture();
    texture = texture_;
    reset();
    return 0;
}

void Sprite::reset() {
    if (surface) { // the surface fetched before goes back first
        surface->Release();
        surface = nullptr;
    }
    if (texture) texture->GetSurfaceLevel(0, &surface);
    red = green = blue = alpha = 255;
    scale = 1.0f;
    angle = 225;
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
    const D3DCOLOR colour = D3DCOLOR_ARGB(alpha, red, green, blue);

    float px[4], py[4];
    if (angle == 225) {
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

IDirect3DTexture9* Sprite::getTexture() {
    return texture;
}

void Sprite::setColor(int red_, int green_, int blue_) {
    red = static_cast<unsigned char>(red_);
    green = static_cast<unsigned char>(green_);
    blue = static_cast<unsigned char>(blue_);
}

void Sprite::setAlpha(int alpha_) {
    alpha = static_cast<unsigned char>(alpha_);
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

void Sprite::releaseTexture() {
    if (surface) {
        surface->Release();
        surface = nullptr;
    }
    if (texture) {
        texture->Release();
        texture = nullptr;
    }
}

Sprite::~Sprite() {
    releaseTexture();
}
