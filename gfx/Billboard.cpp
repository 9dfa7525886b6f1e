#include "gfx/Billboard.h"

#include "gfx/WorldVertex.h"

#include <cmath>

void Billboard::drawQuad(const float (&corners)[4][3]) {
    static const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const D3DCOLOR colour = tint();
    WorldVertex quad[4];
    for (int i = 0; i < 4; ++i)
        quad[i] = {corners[i][0], corners[i][1], corners[i][2], colour, uv[i][0], uv[i][1]};
    device->SetFVF(WorldVertex::format);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(WorldVertex));
    device->SetTexture(0, nullptr);
}

// Draws with whatever texture stage 0 holds, and empties it.
void Billboard::draw(float x, float y, float z, float w, float h) {
    if (!device) return;
    const float corners[4][3] = {{x, y, z}, {x + w, y, z}, {x + w, y + h, z}, {x, y + h, z}};
    drawQuad(corners);
}

void Billboard::drawTextured(float x, float y, float z, float w, float h) {
    if (!device) return;
    device->SetTexture(0, texture);
    draw(x, y, z, w, h);
}

// One world unit wide at its widest; a line at angle 0; mirrored when sin(angle) changes sign.
void Billboard::drawFlipping(float x, float y, float z, float, float h, float angle) {
    if (!device) return;
    const float s = 0.5f * std::sin(angle), c = 0.5f * std::cos(angle);
    const float corners[4][3] = {
        {x + s, y, z + c}, {x - s, y, z + c}, {x - s, y + h, z + c}, {x + s, y + h, z + c}};
    device->SetTexture(0, texture);
    drawQuad(corners);
}
