#include "gfx/Light.h"

int Light::init(IDirect3DDevice9* device_) {
    device = device_;
    light = D3DLIGHT9{};
    return 0;
}

void Light::enable() {
    if (!device) return;
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
}

void Light::disable() {
    if (!device) return;
    device->LightEnable(0, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
}

D3DVECTOR* Light::getDirection(D3DVECTOR* out) {
    *out = light.Direction;
    return out;
}

void Light::setType(D3DLIGHTTYPE type) {
    light.Type = type;
}

void Light::setDirection(float x, float y, float z) {
    light.Direction = {x, y, z};
}

void Light::setPosition(float x, float y, float z) {
    light.Position = {x, y, z};
}

void Light::setRangeAndCone(float range, float falloff, float attenuation0, float attenuation1,
                            float attenuation2, float theta, float phi) {
    light.Range = range;
    light.Falloff = falloff;
    light.Attenuation0 = attenuation0;
    light.Attenuation1 = attenuation1;
    light.Attenuation2 = attenuation2;
    light.Theta = theta;
    light.Phi = phi;
}

// Colours arrive as doubles and are kept as floats; their alpha stays 0.
void Light::setDiffuse(double r, double g, double b) {
    light.Diffuse = {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), 0.0f};
}

void Light::setSpecular(double r, double g, double b) {
    light.Specular = {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), 0.0f};
}

void Light::setAmbient(double r, double g, double b) {
    light.Ambient = {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), 0.0f};
}
