#include "d3dx9.h"
#include "gfx/Billboard.h"
#include "gfx/Camera.h"
#include "gfx/WorldRect.h"
#include "support/OffscreenDevice.h"

#include <gtest/gtest.h>

namespace {

class WorldQuadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        d->SetRenderState(D3DRS_LIGHTING, FALSE);
        d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE); // a flipping card shows either face
        camera.init(d, 800, 600);
        camera.setPerspective(3.14159265f / 4, 0.5f, 100);
        camera.lookAt({0, 0, -3}, {0, 0, 0}, {0, 1, 0});
        camera.apply();
        // Left half red, right half blue.
        D3DXCreateTexture(d, 2, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &halves);
        D3DLOCKED_RECT locked{};
        halves->LockRect(0, &locked, nullptr, 0);
        static_cast<DWORD*>(locked.pBits)[0] = 0xFFFF0000;
        static_cast<DWORD*>(locked.pBits)[1] = 0xFF0000FF;
        halves->UnlockRect(0);
        card.attach(d, halves);
        halves->Release();
        d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    }
    const test::Image& flipped(float angle) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1, 0);
        card.drawFlipping(0, -0.5f, 0, 99, 1, angle);
        return offscreen.present();
    }

    test::OffscreenDevice offscreen;
    IDirect3DDevice9* d = offscreen.device();
    Camera camera;
    IDirect3DTexture9* halves = nullptr;
    Billboard card;
};

} // namespace

TEST_F(WorldQuadTest, AFlippingCardTurnsAboutItsVerticalAxis) {
    const test::Image& edgeOn = flipped(0); // a line, pushed back half a unit
    EXPECT_EQ(test::countDifferent(edgeOn, 0, 0, 800, 600, {0, 0, 0}, 0), 0);

    // At pi/2 the card is one unit wide, u = 0 at +x: the image's left half is on the right.
    const test::Image& quarter = flipped(3.14159265f / 2);
    EXPECT_EQ(quarter.at(460, 300).r, 255);
    EXPECT_EQ(quarter.at(340, 300).b, 255);
    // At -pi/2 it is mirrored.
    const test::Image& mirrored = flipped(-3.14159265f / 2);
    EXPECT_EQ(mirrored.at(460, 300).b, 255);
    EXPECT_EQ(mirrored.at(340, 300).r, 255);
    // A unit card three units away spans 800 x 1.8107 x 0.5 / 3 = 241 pixels.
    int lit = 0;
    for (int x = 0; x < 800; ++x)
        lit += mirrored.at(x, 300).r + mirrored.at(x, 300).b > 0;
    EXPECT_NEAR(lit, 241, 2);

    // draw empties stage 0, whatever was bound before.
    d->SetTexture(0, halves);
    card.draw(0, 0, 0, 1, 1);
    IDirect3DBaseTexture9* bound = halves;
    d->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);
}

TEST_F(WorldQuadTest, WorldRectanglesUseTheLowByteOfEachColour) {
    WorldRect rect;
    rect.init(d);
    rect.setColor(300, 0, 256 + 7); // 300 & 0xFF = 44
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1, 0);
    D3DXMATRIX moved;
    D3DXMatrixTranslation(&moved, 50, 0, 0);
    d->SetTransform(D3DTS_WORLD, &moved); // drawRect puts the world back to identity
    rect.drawRect(-1, -1, 0, 2, 2);
    const test::Rgb centre = offscreen.present().at(400, 300);
    EXPECT_EQ(centre.r, 44);
    EXPECT_EQ(centre.b, 7);
}
