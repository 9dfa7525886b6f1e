#include "gfx/FeedbackBuffer.h"

#include "app/GraphicsDevice.h"

void FeedbackBuffer::create(GraphicsDevice* graphics_, int width_, int height_) {
    graphics = graphics_;
    targets[0].create(graphics, width_, height_);
    targets[1].create(graphics, width_, height_);
    current = 0;
    width = width_;
    height = height_;
    feedbackAlpha = 216;
    IDirect3DDevice9* device = graphics ? graphics->getDevice() : nullptr;
    if (!device) return;
    // Both start opaque black; the device's own targets are put back afterwards.
    for (RenderTarget& target : targets) {
        target.begin();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    }
    targets[0].end();
}

void FeedbackBuffer::setFeedbackAlpha(unsigned char alpha) {
    feedbackAlpha = alpha;
}

void FeedbackBuffer::begin() {
    targets[current].begin();
}

void FeedbackBuffer::drawAndSwap(int mode, double amount) {
    Sprite* previous = targets[1 - current].getSprite();
    const auto w = static_cast<float>(width), h = static_cast<float>(height);
    const auto a = static_cast<float>(amount);
    previous->setAlpha(feedbackAlpha);
    switch (mode) {
    case Plain:
        previous->drawWhole(0, 0, 0, w, h);
        break;
    case Inset:
        previous->drawWhole(a, a, 0, w - 2 * a, h - 2 * a);
        break;
    case Turned:
        previous->setAngle(a); // stays set on that sprite
        previous->drawWhole(0, 0, 0, w, h);
        break;
    case Stretched:
        previous->drawWhole(-15 * a, -15, 0, w + 30, h + 30);
        break;
    default:
        break;
    }
    previous->setAlpha(255);
    targets[current].end();
    targets[current].getSprite()->drawWhole(0, 0, 0, w, h);
    current = 1 - current;
}
