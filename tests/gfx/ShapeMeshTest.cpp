#include "gfx/ShapeMesh.h"
#include "gfx/Camera.h"
#include "gfx/Light.h"
#include "support/OffscreenDevice.h"

#include <gtest/gtest.h>

namespace {

struct V {
    D3DXVECTOR3 p, n;
};

void extents(ID3DXMesh* mesh, D3DXVECTOR3& low, D3DXVECTOR3& high) {
    void* data = nullptr;
    mesh->LockVertexBuffer(D3DLOCK_READONLY, &data);
    const DWORD stride = mesh->GetNumBytesPerVertex();
    low = {1e9f, 1e9f, 1e9f}, high = {-1e9f, -1e9f, -1e9f};
    for (DWORD i = 0; i < mesh->GetNumVertices(); ++i) {
        const auto* p = reinterpret_cast<const D3DXVECTOR3*>(
            static_cast<const unsigned char*>(data) + i * stride);
        low = {std::min(low.x, p->x), std::min(low.y, p->y), std::min(low.z, p->z)};
        high = {std::max(high.x, p->x), std::max(high.y, p->y), std::max(high.z, p->z)};
    }
    mesh->UnlockVertexBuffer();
}

} // namespace

TEST(ShapeMesh, EveryKindHasItsTessellationAndAnUnknownOneChangesNothing) {
    test::OffscreenDevice offscreen;
    ShapeMesh shape;
    shape.setDevice(offscreen.device());
    const struct {
        ShapeKind kind;
        DWORD vertices, faces;
    } rows[] = {{ShapeKind::Cube, 24, 12},
                {ShapeKind::Sphere, 2 + 16 * 15, 2 * 16 * 15},
                {ShapeKind::Pyramid, 2 + 3 * 35, 2 * 3 * 33},
                {ShapeKind::Torus, 256, 512},
                {ShapeKind::FineSphere, 2 + 64 * 63, 2 * 64 * 63},
                {ShapeKind::Teapot, 0, 2256}};
    for (const auto& row : rows) {
        const int kind = static_cast<int>(row.kind);
        ASSERT_EQ(shape.createShape(row.kind, 1.0), D3D_OK) << kind;
        if (row.vertices) {
            EXPECT_EQ(shape.getMesh()->GetNumVertices(), row.vertices) << kind;
        }
        EXPECT_EQ(shape.getMesh()->GetNumFaces(), row.faces) << kind;
    }
    ID3DXMesh* teapot = shape.getMesh();
    EXPECT_TRUE(FAILED(shape.createShape(static_cast<ShapeKind>(6), 1.0)));
    EXPECT_EQ(shape.getMesh(), teapot);

    ASSERT_EQ(shape.createShape(ShapeKind::Pyramid, 1.0),
              D3D_OK); // the pyramid: height 4/3, base radius 1
    D3DXVECTOR3 low, high;
    extents(shape.getMesh(), low, high);
    EXPECT_NEAR(high.z - low.z, 1.3333333f, 1e-5f);
    EXPECT_NEAR(high.y, 1.0f, 1e-5f);
}

TEST(ShapeMesh, ClonesRecomputeNormalsAndReportWhatFails) {
    test::OffscreenDevice offscreen;
    ShapeMesh shape;
    shape.setDevice(offscreen.device());
    shape.createBox(2, 2, 2);
    shape.cloneWithNormals(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    ASSERT_NE(shape.getMesh(), nullptr);
    EXPECT_EQ(shape.getMesh()->GetFVF(),
              static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
    void* data = nullptr;
    shape.getMesh()->LockVertexBuffer(D3DLOCK_READONLY, &data);
    const auto* first = static_cast<const float*>(data);
    EXPECT_EQ(first[3], -1.0f); // vertex 0 keeps its face's normal (-x)
    shape.getMesh()->UnlockVertexBuffer();

    testing::internal::CaptureStderr();
    shape.cloneWithNormals(D3DFVF_XYZ); // nowhere to put normals
    EXPECT_NE(shape.getMesh(), nullptr);
    shape.cloneWithNormals(0); // no vertex format: no clone, and then no normals either
    EXPECT_EQ(shape.getMesh(), nullptr);
    shape.draw(); // harmless without a mesh
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "法線\nクローン作成\n");
}

TEST(ShapeMesh, ALitCubeThroughTheToolkitShowsTheLightingEquation) {
    test::OffscreenDevice offscreen;
    IDirect3DDevice9* d = offscreen.device();
    Camera camera;
    camera.init(d, 800, 600);
    camera.setPerspective(3.14159265f / 4, 1, 100);
    camera.lookAt({0, 0, -5}, {0, 0, 0}, {0, 1, 0});
    Light light;
    light.init(d);
    light.setType(D3DLIGHT_DIRECTIONAL);
    light.setDirection(0, 0, 1); // straight along the view: N.L = 1 on the front face
    light.setDiffuse(1, 1, 1);
    light.setAmbient(0.5, 0.5, 0.5);
    ShapeMesh cube;
    cube.setDevice(d);
    cube.createShape(ShapeKind::Cube, 1.0);
    cube.setColor(0.4, 0.2, 0.1);
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1, 0);
    camera.apply();
    light.enable();
    cube.placeAt(0, 0, 0);
    cube.draw();
    // diffuse x 1 + ambient x 0.5: (0.6, 0.3, 0.15)
    const test::Rgb centre = offscreen.present().at(400, 300);
    EXPECT_NEAR(centre.r, 153, 2);
    EXPECT_NEAR(centre.g, 77, 2);
    EXPECT_NEAR(centre.b, 38, 2);
    D3DMATERIAL9 used{};
    d->GetMaterial(&used);
    EXPECT_EQ(used.Specular.r, 1.0f); // whatever the colour
    EXPECT_EQ(used.Power, 1.0f);
    EXPECT_EQ(used.Diffuse.a, 1.0f);
}
