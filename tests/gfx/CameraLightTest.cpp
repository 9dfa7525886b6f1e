#include "gfx/Camera.h"
#include "gfx/Light.h"
#include "support/OffscreenDevice.h"

#include <cstring>
#include <gtest/gtest.h>

TEST(Camera, PerspectiveAspectAndLookAtReachTheDeviceUnchanged) {
    test::OffscreenDevice offscreen;
    IDirect3DDevice9* d = offscreen.device();
    Camera camera;
    camera.apply(); // before init: nothing happens
    camera.init(d, 800, 600);
    camera.setPosition(1, 2, 3);
    camera.setPerspective(3.14159265f / 4, 1, 1000);
    D3DXMATRIX expected;
    D3DXMatrixPerspectiveFovLH(&expected, 3.14159265f / 4, 1.3333334f, 1, 1000);
    D3DXMATRIX got;
    camera.getProjection(&got);
    EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0);

    const D3DXVECTOR3 eye{0, 5, -20}, at{0, 0, 0}, up{0, 1, 0};
    camera.lookAt(eye, at, up);
    camera.apply();
    D3DXMatrixLookAtLH(&expected, &eye, &at, &up);
    d->GetTransform(D3DTS_VIEW, &got);
    EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0);
    EXPECT_EQ(camera.getX(), 1.0f); // lookAt leaves the kept position alone
    EXPECT_EQ(camera.getZ(), 3.0f);
}

TEST(Light, EnableInstallsLightZeroAndDisableSwitchesLightingOff) {
    test::OffscreenDevice offscreen;
    IDirect3DDevice9* d = offscreen.device();
    Light light;
    light.init(d);
    light.setType(D3DLIGHT_DIRECTIONAL);
    light.setDirection(0, -1, 1);
    light.setDiffuse(1.0, 0.5, 0.25);
    light.setRangeAndCone(10, 1, 0.5f, 0.25f, 0.125f, 0.3f, 0.6f);
    light.enable();
    D3DLIGHT9 installed{};
    ASSERT_EQ(d->GetLight(0, &installed), D3D_OK);
    EXPECT_EQ(installed.Diffuse.g, 0.5f);
    EXPECT_EQ(installed.Diffuse.a, 0.0f);
    EXPECT_EQ(installed.Attenuation2, 0.125f);
    EXPECT_EQ(installed.Phi, 0.6f);
    BOOL on = FALSE;
    d->GetLightEnable(0, &on);
    EXPECT_TRUE(on);
    DWORD lighting = 0;
    d->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, static_cast<DWORD>(TRUE));

    light.disable();
    d->GetLightEnable(0, &on);
    EXPECT_FALSE(on);
    d->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, static_cast<DWORD>(FALSE));
    EXPECT_EQ(d->GetLight(0, &installed), D3D_OK); // the light's data stays on the device
    D3DVECTOR direction{};
    EXPECT_EQ(light.getDirection(&direction)->y, -1.0f);
}
