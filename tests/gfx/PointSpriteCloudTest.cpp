#include "gfx/PointSpriteCloud.h"
#include "gfx/Camera.h"
#include "support/OffscreenDevice.h"

#include <gtest/gtest.h>

TEST(PointSpriteCloud, ThePhysicsStepFallsBouncesAndRubs) {
    PointSpriteCloud cloud;
    cloud.init(nullptr, 3, "data\\particle.png");
    EXPECT_EQ(cloud.getPoint(0)->life, 0);
    cloud.setPoint({0, 0, 0}, {0, 0, 0}, 0xFFFFFFFF, 0);
    EXPECT_EQ(cloud.getPoint(0)->life, 256); // lifeDefault, set before the points were seeded
    cloud.update();
    EXPECT_FLOAT_EQ(cloud.getPoint(0)->velocity.y, -0.0001f);
    EXPECT_EQ(cloud.getPoint(0)->position.y, 0.0f); // the step used the old velocity

    cloud.setPoint({0, -2, 0}, {0.00001f, -4, -1}, 0, 1); // below the floor
    cloud.update();
    const PointSpriteCloud::Point* p = cloud.getPoint(1);
    EXPECT_EQ(p->position.y, -1.0f);
    EXPECT_NEAR(p->velocity.y, (4 + 0.0001f) * 0.0025f, 1e-7f); // reversed, scaled by 0.0025
    EXPECT_EQ(p->velocity.x, 0.0f);                             // never past zero
    EXPECT_FLOAT_EQ(p->velocity.z, -1 + 0.000025f);

    // Out-of-range indices touch nothing.
    cloud.setPoint({9, 9, 9}, {9, 9, 9}, 0xFF, 3);
    cloud.setPoint({9, 9, 9}, {9, 9, 9}, 0xFF, -1);
    cloud.setPointColor(0xFF, 5);
    EXPECT_EQ(cloud.getPoint(3), nullptr);
    EXPECT_EQ(cloud.getPoint(-1), nullptr);
    EXPECT_EQ(cloud.getPoint(2)->position.x, 0.0f);

    PointSpriteCloud empty;
    empty.init(nullptr, -4, "x");
    EXPECT_EQ(empty.getCount(), 0);
    empty.update();
    empty.draw();
}

TEST(PointSpriteCloud, DrawsEveryPointInOneCallWithTheCommonColour) {
    test::OffscreenDevice offscreen;
    IDirect3DDevice9* d = offscreen.device();
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    Camera camera;
    camera.init(d, 800, 600);
    camera.setPerspective(3.14159265f / 4, 0.5f, 100);
    camera.lookAt({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    camera.apply();
    testing::internal::CaptureStderr();
    PointSpriteCloud cloud;
    cloud.init(d, 2, "data\\missing.png"); // no texture, and no message: the sprites go plain
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    cloud.setPoint({0, 0, 0}, {0, 0, 0}, 0xFFFF0000, 0);
    cloud.setPoint({2, 0, 0}, {0, 0, 0}, 0xFFFF0000, 1);
    cloud.setPointSize(0.5f); // 600 x 0.5 / 10 = 30 pixels
    cloud.setCommonColor(0xFF00FF00, true);
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1, 0);
    cloud.draw();
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(frame.at(400, 300).g, 255);
    EXPECT_EQ(frame.at(400, 300).r, 0);
    EXPECT_EQ(frame.at(412, 300).g, 255);
    EXPECT_EQ(frame.at(418, 300).g, 0);
    const auto stats = test::lastFrameCounts(d);
    EXPECT_EQ(stats.drawsByType[D3DPT_POINTLIST], 1u);
    DWORD sprite = 1, zWrite = 0;
    d->GetRenderState(D3DRS_POINTSPRITEENABLE, &sprite);
    d->GetRenderState(D3DRS_ZWRITEENABLE, &zWrite);
    EXPECT_EQ(sprite, static_cast<DWORD>(FALSE));
    EXPECT_EQ(zWrite, static_cast<DWORD>(TRUE));
}
