#include "scenes/ViewSetup.h"

#include "app/GraphicsDevice.h"

void setUpCamera(Camera& camera, GraphicsDevice& graphics) {
    camera.init(graphics.getDevice(), graphics.getWidth(), graphics.getHeight());
    camera.setPerspective(1.0466666f, 0.01f, 1000.0f);
}

void setUpWhiteLight(Light& light, IDirect3DDevice9* device, float x, float y, float z) {
    light.init(device);
    light.setType(D3DLIGHT_DIRECTIONAL);
    light.setDiffuse(1, 1, 1);
    light.setSpecular(1, 1, 1);
    light.setDirection(x, y, z);
}
