#include "gfx/Material.h"

namespace {
void setRgb(D3DCOLORVALUE& c, double r, double g, double b) {
    c.r = static_cast<float>(r);
    c.g = static_cast<float>(g);
    c.b = static_cast<float>(b);
}
} // namespace

void Material::setPower(double power) {
    material.Power = static_cast<float>(power);
}
void Material::setDiffuse(double r, double g, double b) {
    setRgb(material.Diffuse, r, g, b);
}
void Material::setSpecular(double r, double g, double b) {
    setRgb(material.Specular, r, g, b);
}
void Material::setAmbient(double r, double g, double b) {
    setRgb(material.Ambient, r, g, b);
}
void Material::setEmissive(double r, double g, double b) {
    setRgb(material.Emissive, r, g, b);
}

void Material::setAlpha(double a) {
    const auto alpha = static_cast<float>(a);
    material.Diffuse.a = material.Ambient.a = material.Specular.a = material.Emissive.a = alpha;
}
