#include "CrystalMesh.h"

#include <cmath>

namespace artgen {

namespace {

using Vec = std::array<double, 3>;

Vec operator+(Vec a, Vec b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
Vec operator-(Vec a, Vec b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Vec operator*(Vec a, double s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}
double dot(Vec a, Vec b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec cross(Vec a, Vec b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec unit(Vec a) {
    return a * (1.0 / std::sqrt(dot(a, a)));
}

struct Triangle {
    Vec a, b, c;
};

std::vector<Triangle> icosahedron() {
    const double t = (1 + std::sqrt(5.0)) / 2;
    const Vec v[12] = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
                       {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    const int f[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                          {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                          {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                          {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    std::vector<Triangle> out;
    for (const auto& face : f)
        out.push_back({unit(v[face[0]]), unit(v[face[1]]), unit(v[face[2]])});
    return out;
}

// Direct3D's front faces wind clockwise seen from outside: cross(b - a, c - a) points out.
void addFacet(XMesh& mesh, Triangle t, int material) {
    Vec normal = cross(t.b - t.a, t.c - t.a);
    if (dot(normal, t.a + t.b + t.c) < 0) {
        std::swap(t.b, t.c);
        normal = normal * -1.0;
    }
    normal = unit(normal);
    const int first = static_cast<int>(mesh.positions.size());
    const std::array<float, 2> uv[3] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {0.5f, 0.0f}};
    int corner = 0;
    for (const Vec& p : {t.a, t.b, t.c}) {
        mesh.positions.push_back(
            {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])});
        mesh.normals.push_back({static_cast<float>(normal[0]), static_cast<float>(normal[1]),
                                static_cast<float>(normal[2])});
        mesh.uvs.push_back(uv[corner++]);
    }
    mesh.faces.push_back({first, first + 1, first + 2});
    mesh.faceMaterials.push_back(material);
}

// Three facets rising from a triangle to a point above its centre.
void addSpike(XMesh& mesh, const Triangle& base, double height, int material) {
    const Vec centre = (base.a + base.b + base.c) * (1.0 / 3.0);
    const Vec apex = unit(centre) * height;
    addFacet(mesh, {base.a, base.b, apex}, material);
    addFacet(mesh, {base.b, base.c, apex}, material);
    addFacet(mesh, {base.c, base.a, apex}, material);
}

const XMaterial panel{
    {0.55f, 0.42f, 0.32f, 1.0f}, 24.0f, {0.6f, 0.5f, 0.4f}, {0.04f, 0.02f, 0.0f}, "data\\core.png"};
const XMaterial glowing{
    {0.9f, 0.35f, 0.08f, 1.0f}, 8.0f, {0.3f, 0.2f, 0.1f}, {0.18f, 0.06f, 0.0f}, ""};
const XMaterial metal{{0.3f, 0.3f, 0.34f, 1.0f}, 60.0f, {0.9f, 0.9f, 1.0f}, {0.0f, 0.0f, 0.0f}, ""};

} // namespace

XMesh coreCrystal() {
    constexpr double radius = 34.0;
    XMesh mesh;
    mesh.materials = {panel, glowing, metal};
    int index = 0;
    for (const Triangle& t : icosahedron()) {
        const Vec ab = unit((t.a + t.b) * 0.5), bc = unit((t.b + t.c) * 0.5),
                  ca = unit((t.c + t.a) * 0.5);
        const Vec a = t.a * radius, b = t.b * radius, c = t.c * radius;
        const int cornerMaterial = index++ % 2 == 0 ? 0 : 2;
        addSpike(mesh, {a, ab * radius, ca * radius}, radius * 1.18, cornerMaterial);
        addSpike(mesh, {ab * radius, b, bc * radius}, radius * 1.18, cornerMaterial);
        addSpike(mesh, {ca * radius, bc * radius, c}, radius * 1.18, cornerMaterial);
        addSpike(mesh, {ab * radius, bc * radius, ca * radius}, radius * 1.42, 1);
    }
    return mesh;
}

XMesh plainCrystal() {
    constexpr double radius = 30.0;
    XMesh mesh;
    mesh.materials = {metal};
    for (const Triangle& t : icosahedron())
        addFacet(mesh, {t.a * radius, t.b * radius, t.c * radius}, 0);
    return mesh;
}

} // namespace artgen
