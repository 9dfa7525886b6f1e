#include "scenes/Glow.h"

#include "app/GraphicsDevice.h"

void drawGlow(GraphicsDevice& graphics, RenderTarget& sharp, RenderTarget& a, RenderTarget& b,
              float divisor) {
    const float smallW = 800 / divisor, smallH = 600 / divisor;
    b.begin();
    sharp.getSprite()->drawWhole(0, 0, 0, 800, 600);
    a.begin();
    IDirect3DDevice9* d = graphics.getDevice();
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_GAUSSIANQUAD);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_GAUSSIANQUAD);
    b.getSprite()->drawWhole(0, 0, 0, smallW, smallH);
    for (int i = 0; i < 4; ++i) {
        b.begin();
        a.getSprite()->draw(0, 0, 0, 800, 600, 0, 0, smallW, smallH);
        a.begin();
        b.getSprite()->drawWhole(0, 0, 0, smallW, smallH);
    }
    b.begin();
    const float shift = -(divisor + 1) * 2.5f;
    a.getSprite()->draw(shift, shift, 0, 800, 600, 0, 0, smallW, smallH);
    a.end();
    sharp.getSprite()->drawWhole(0, 0, 0, 800, 600);
    graphics.setBlendMode(BlendMode::Additive);
    b.getSprite()->drawWhole(0, 0, 0, 800, 600);
}
