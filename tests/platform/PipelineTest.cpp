#include "Device.h"
#include "Surface.h"
#include "support/OffscreenDevice.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

DWORD bits(float f) {
    DWORD b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

D3DMATRIX identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1;
    return m;
}

D3DMATRIX scaling(float s) {
    D3DMATRIX m = identity();
    m._11 = m._22 = m._33 = s;
    return m;
}

// The utility library's left-handed camera matrices, from their published formulas.
D3DMATRIX lookAtLH(D3DVECTOR eye, D3DVECTOR at, D3DVECTOR up) {
    auto sub = [](D3DVECTOR a, D3DVECTOR b) { return D3DVECTOR{a.x - b.x, a.y - b.y, a.z - b.z}; };
    auto norm = [](D3DVECTOR v) {
        const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        return D3DVECTOR{v.x / l, v.y / l, v.z / l};
    };
    auto cross = [](D3DVECTOR a, D3DVECTOR b) {
        return D3DVECTOR{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    };
    auto dot = [](D3DVECTOR a, D3DVECTOR b) { return a.x * b.x + a.y * b.y + a.z * b.z; };
    const D3DVECTOR z = norm(sub(at, eye)), x = norm(cross(up, z)), y = cross(z, x);
    D3DMATRIX m = identity();
    m._11 = x.x, m._12 = y.x, m._13 = z.x;
    m._21 = x.y, m._22 = y.y, m._23 = z.y;
    m._31 = x.z, m._32 = y.z, m._33 = z.z;
    m._41 = -dot(x, eye), m._42 = -dot(y, eye), m._43 = -dot(z, eye);
    return m;
}

D3DMATRIX perspectiveFovLH(float fovY, float aspect, float zn, float zf) {
    const float yScale = 1.0f / std::tan(fovY / 2), xScale = yScale / aspect;
    D3DMATRIX m{};
    m._11 = xScale;
    m._22 = yScale;
    m._33 = zf / (zf - zn);
    m._34 = 1;
    m._43 = -zn * zf / (zf - zn);
    return m;
}

struct LitVertex {
    float x, y, z, nx, ny, nz;
    D3DCOLOR colour;
};

class PipelineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        clear(0xFF000000);
        d->SetRenderState(D3DRS_LIGHTING, TRUE);
        d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }
    void clear(D3DCOLOR colour) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0);
    }
    // A quad over the whole target at depth z in clip space (identity transforms), facing the
    // camera, in the format asked for.
    void quad(DWORD fvf, float z = 0.5f, D3DCOLOR colour = 0xFFFFFFFF, float half = 1.0f) {
        const LitVertex v[4] = {{-half, half, z, 0, 0, -1, colour},
                                {half, half, z, 0, 0, -1, colour},
                                {half, -half, z, 0, 0, -1, colour},
                                {-half, -half, z, 0, 0, -1, colour}};
        std::vector<unsigned char> packed;
        for (const LitVertex& vertex : v) {
            auto put = [&packed](const void* p, std::size_t n) {
                packed.insert(packed.end(), static_cast<const unsigned char*>(p),
                              static_cast<const unsigned char*>(p) + n);
            };
            put(&vertex.x, 12);
            if (fvf & D3DFVF_NORMAL) put(&vertex.nx, 12);
            if (fvf & D3DFVF_DIFFUSE) put(&vertex.colour, 4);
        }
        d->SetFVF(fvf);
        d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, packed.data(),
                           static_cast<UINT>(packed.size() / 4));
    }
    D3DLIGHT9 directional(D3DVECTOR direction, D3DCOLORVALUE diffuse, D3DCOLORVALUE specular = {},
                          D3DCOLORVALUE ambient = {}) {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Direction = direction;
        light.Diffuse = diffuse;
        light.Specular = specular;
        light.Ambient = ambient;
        return light;
    }
    void useLight(const D3DLIGHT9& light) {
        d->SetLight(0, &light);
        d->LightEnable(0, TRUE);
    }
    test::Rgb centre() { return offscreen.present().at(400, 300); }

    test::OffscreenDevice offscreen;
    IDirect3DDevice9* d = offscreen.device();
};

void expectNear(test::Rgb got, test::Rgb want, const char* what) {
    EXPECT_NEAR(got.r, want.r, 2) << what;
    EXPECT_NEAR(got.g, want.g, 2) << what;
    EXPECT_NEAR(got.b, want.b, 2) << what;
}

} // namespace

// Worked from the lighting equation: emissive + ambient x (global + lights) + diffuse x N.L
// (+ specular where N.L > 0 and N.H > 0), clamped per vertex.
TEST_F(PipelineTest, DirectionalLightingTable) {
    const float c60 = 0.5f, s60 = std::sqrt(3.0f) / 2;
    D3DMATERIAL9 m{};

    m.Ambient = {0.5f, 0.5f, 0.5f, 1};
    d->SetMaterial(&m);
    d->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_ARGB(255, 64, 64, 64));
    useLight(directional({0, 0, 1}, {}, {}, {0.25f, 0, 0, 0}));
    quad(D3DFVF_XYZ | D3DFVF_NORMAL);
    expectNear(centre(), {64, 32, 32}, "ambient only");

    clear(0xFF000000);
    d->SetRenderState(D3DRS_AMBIENT, 0);
    m = {};
    m.Diffuse = {1, 1, 1, 1};
    d->SetMaterial(&m);
    useLight(directional({0, s60, c60}, {1, 0.5f, 0, 0}));
    quad(D3DFVF_XYZ | D3DFVF_NORMAL);
    expectNear(centre(), {128, 64, 0}, "diffuse at 60 degrees");

    // Specular with the non-local viewer: the light 30 degrees off the view axis puts N.H at
    // cos 15 degrees; Power 40 gives 0.25 of the light, Power 0 all of it.
    clear(0xFF000000);
    m = {};
    m.Specular = {1, 1, 1, 1};
    m.Power = 40;
    d->SetMaterial(&m);
    d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    d->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
    useLight(directional({0, 0.5f, s60}, {}, {0.5f, 0.5f, 0.5f, 0}));
    quad(D3DFVF_XYZ | D3DFVF_NORMAL);
    expectNear(centre(), {32, 32, 32}, "specular, Power 40");
    clear(0xFF000000);
    m.Power = 0;
    d->SetMaterial(&m);
    quad(D3DFVF_XYZ | D3DFVF_NORMAL);
    expectNear(centre(), {128, 128, 128}, "specular, Power 0");
    clear(0xFF000000);
    d->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    quad(D3DFVF_XYZ | D3DFVF_NORMAL);
    expectNear(centre(), {0, 0, 0}, "specular disabled");

    clear(0xFF000000);
    m = {};
    m.Emissive = {0.2f, 0.4f, 0.6f, 1};
    d->SetMaterial(&m);
    d->LightEnable(0, FALSE);
    quad(D3DFVF_XYZ | D3DFVF_NORMAL);
    expectNear(centre(), {51, 102, 153}, "emissive, no lights");

    clear(0xFF000000);
    m = {};
    m.Diffuse = {0, 1, 0, 1};
    d->SetMaterial(&m);
    useLight(directional({0, 0, 1}, {1, 1, 1, 0}));
    quad(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE, 0.5f, D3DCOLOR_ARGB(255, 255, 0, 128));
    expectNear(centre(), {255, 0, 128}, "vertex colour replaces the material diffuse");

    clear(0xFF000000);
    m = {};
    m.Diffuse = {1, 1, 1, 1};
    m.Emissive = {0.1f, 0.2f, 0.3f, 1};
    d->SetMaterial(&m);
    quad(D3DFVF_XYZ | D3DFVF_DIFFUSE, 0.5f, 0xFFFFFFFF);
    expectNear(centre(), {26, 51, 77}, "no normal: emissive and ambient only");

    clear(0xFF000000);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    quad(D3DFVF_XYZ | D3DFVF_DIFFUSE, 0.5f, D3DCOLOR_ARGB(255, 10, 200, 90));
    expectNear(centre(), {10, 200, 90}, "lighting off shows the vertex colour");
}

TEST_F(PipelineTest, UnnormalisedNormalsFollowTheWorldScale) {
    D3DMATERIAL9 m{};
    m.Diffuse = {1, 1, 1, 1};
    d->SetMaterial(&m);
    useLight(directional({0, std::sqrt(3.0f) / 2, 0.5f}, {1, 1, 1, 0})); // N.L = 0.5
    auto litAt = [this](float scale, BOOL normalise) {
        clear(0xFF000000);
        d->SetRenderState(D3DRS_NORMALIZENORMALS, normalise);
        const D3DMATRIX world = scaling(scale);
        d->SetTransform(D3DTS_WORLD, &world);
        quad(D3DFVF_XYZ | D3DFVF_NORMAL, 0.5f / scale, 0xFFFFFFFF, 1.0f);
        return centre().r;
    };
    const int plain = litAt(1, FALSE);
    EXPECT_NEAR(plain, 128, 2);
    EXPECT_GT(litAt(0.1f, FALSE), 250);   // normals ten long: saturated
    EXPECT_NEAR(litAt(10, FALSE), 13, 2); // a tenth as long: dimmer
    EXPECT_NEAR(litAt(0.1f, TRUE), plain, 1);
    EXPECT_NEAR(litAt(10, TRUE), plain, 1);
}

TEST_F(PipelineTest, CullingDepthTestAndDepthWrites) {
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    struct V {
        float x, y, z;
        D3DCOLOR c;
    };
    // Left: clockwise on screen; right: counter-clockwise.
    const V clockwise[3] = {{-0.9f, 0.5f, 0.5f, 0xFFFF0000},
                            {-0.1f, 0.5f, 0.5f, 0xFFFF0000},
                            {-0.5f, -0.5f, 0.5f, 0xFFFF0000}};
    const V counter[3] = {{0.1f, 0.5f, 0.5f, 0xFF00FF00},
                          {0.5f, -0.5f, 0.5f, 0xFF00FF00},
                          {0.9f, 0.5f, 0.5f, 0xFF00FF00}};
    const struct {
        DWORD mode;
        bool left, right;
    } rows[] = {{D3DCULL_NONE, true, true}, {D3DCULL_CCW, true, false}, {D3DCULL_CW, false, true}};
    for (const auto& row : rows) {
        clear(0xFF000000);
        d->SetRenderState(D3DRS_CULLMODE, row.mode);
        d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(V));
        d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counter, sizeof(V));
        const test::Image& frame = offscreen.present();
        EXPECT_EQ(frame.at(200, 250).r == 255, row.left) << "cull mode " << row.mode;
        EXPECT_EQ(frame.at(600, 250).g == 255, row.right) << "cull mode " << row.mode;
    }

    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    clear(0xFF000000);
    quad(D3DFVF_XYZ | D3DFVF_DIFFUSE, 0.3f, 0xFFFF0000);
    quad(D3DFVF_XYZ | D3DFVF_DIFFUSE, 0.6f, 0xFF00FF00); // behind: hidden
    expectNear(centre(), {255, 0, 0}, "nearer stays");
    clear(0xFF000000);
    d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    quad(D3DFVF_XYZ | D3DFVF_DIFFUSE, 0.3f, 0xFFFF0000);
    d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    quad(D3DFVF_XYZ | D3DFVF_DIFFUSE, 0.6f, 0xFF00FF00); // nothing was written in front
    expectNear(centre(), {0, 255, 0}, "no depth written");
    clear(0xFF000000);
    d->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
    quad(D3DFVF_XYZ | D3DFVF_DIFFUSE, 0.6f, 0xFF0000FF); // only what is farther than 1 passes
    expectNear(centre(), {0, 0, 0}, "ZFUNC greater");
}

TEST_F(PipelineTest, AWorldPointLandsOnItsPixelThroughTheCamera) {
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    const D3DMATRIX view = lookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    const D3DMATRIX projection = perspectiveFovLH(3.14159265f / 4, 4.0f / 3.0f, 1, 100);
    d->SetTransform(D3DTS_VIEW, &view);
    d->SetTransform(D3DTS_PROJECTION, &projection);
    // (2, 1, 0) is (2, 1, 10) from the eye: x = 800 (1 + 1.8107 x 0.2) / 2 = 544.9,
    // y = 600 (1 - 2.4142 x 0.1) / 2 = 227.6, so the pixel whose centre is nearest is (545, 228).
    struct P {
        float x, y, z;
        D3DCOLOR c;
    } point{2, 1, 0, 0xFFFFFFFF};
    d->SetRenderState(D3DRS_POINTSIZE, bits(1.0f));
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    d->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(frame.at(545, 228).r, 255);
    EXPECT_EQ(test::countDifferent(frame, 0, 0, 800, 600, {0, 0, 0}, 0), 1);
    auto* device = static_cast<d3d9::Device*>(d);
    EXPECT_EQ(device->lastFrameStats().drawsByType[D3DPT_POINTLIST], 1u);
}

TEST_F(PipelineTest, PointSpritesScaleWithDistanceClampAndShowTheirTextureUpright) {
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    const D3DMATRIX projection = perspectiveFovLH(3.14159265f / 2, 4.0f / 3.0f, 0.5f, 2000);
    d->SetTransform(D3DTS_PROJECTION, &projection);
    d->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    d->SetRenderState(D3DRS_POINTSCALE_A, bits(0));
    d->SetRenderState(D3DRS_POINTSCALE_B, bits(0));
    d->SetRenderState(D3DRS_POINTSCALE_C, bits(1));
    d->SetRenderState(D3DRS_POINTSIZE, bits(1.0f));
    auto width = [this](float distance) {
        clear(0xFF000000);
        struct P {
            float x, y, z;
            D3DCOLOR c;
        } point{0, 0, distance, 0xFFFFFFFF};
        d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        d->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
        const test::Image& frame = offscreen.present();
        int lit = 0;
        for (int x = 0; x < 800; ++x)
            lit += frame.at(x, 300).r > 128;
        return lit;
    };
    EXPECT_NEAR(width(50), 12, 1); // 600 x 1 / 50
    EXPECT_NEAR(width(20), 30, 1);
    EXPECT_EQ(width(5), 64);   // 120, clamped to POINTSIZE_MAX
    EXPECT_EQ(width(1000), 1); // 0.6, raised to POINTSIZE_MIN

    IDirect3DTexture9* quadrants = nullptr;
    ASSERT_EQ(d->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &quadrants, nullptr),
              D3D_OK);
    D3DLOCKED_RECT locked{};
    quadrants->LockRect(0, &locked, nullptr, 0);
    auto* texels = static_cast<DWORD*>(locked.pBits);
    texels[0] = 0xFFFF0000, texels[1] = 0xFF00FF00; // top: red, green
    auto* second =
        reinterpret_cast<DWORD*>(static_cast<unsigned char*>(locked.pBits) + locked.Pitch);
    second[0] = 0xFF0000FF, second[1] = 0xFFFFFFFF; // bottom: blue, white
    quadrants->UnlockRect(0);
    d->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    d->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    d->SetRenderState(D3DRS_POINTSIZE, bits(32.0f));
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    d->SetTexture(0, quadrants);
    clear(0xFF000000);
    struct P {
        float x, y, z;
        D3DCOLOR c;
    } point{0, 0, 10, 0xFFFFFFFF};
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    d->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
    d->SetTexture(0, nullptr);
    const test::Image& frame = offscreen.present();
    expectNear(frame.at(392, 292), {255, 0, 0}, "top left");
    expectNear(frame.at(408, 292), {0, 255, 0}, "top right");
    expectNear(frame.at(392, 308), {0, 0, 255}, "bottom left");
    expectNear(frame.at(408, 308), {255, 255, 255}, "bottom right");
    quadrants->Release();
}

TEST_F(PipelineTest, BuffersDrawIndexedMeshesAndDiscardingEveryFrameStaysRightAndFlat) {
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    struct V {
        float x, y, z;
        D3DCOLOR c;
    };
    IDirect3DVertexBuffer9* quadVertices = nullptr;
    IDirect3DIndexBuffer9* quadIndices = nullptr;
    ASSERT_EQ(d->CreateVertexBuffer(4 * sizeof(V), D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_DIFFUSE,
                                    D3DPOOL_MANAGED, &quadVertices, nullptr),
              D3D_OK);
    ASSERT_EQ(d->CreateIndexBuffer(6 * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                   &quadIndices, nullptr),
              D3D_OK);
    void* data = nullptr;
    quadVertices->Lock(0, 0, &data, 0);
    const V corners[4] = {{-0.5f, 0.5f, 0.5f, 0xFF00FFFF},
                          {0.5f, 0.5f, 0.5f, 0xFF00FFFF},
                          {0.5f, -0.5f, 0.5f, 0xFF00FFFF},
                          {-0.5f, -0.5f, 0.5f, 0xFF00FFFF}};
    std::memcpy(data, corners, sizeof corners);
    quadVertices->Unlock();
    quadIndices->Lock(0, 0, &data, 0);
    const WORD order[6] = {0, 1, 2, 0, 2, 3};
    std::memcpy(data, order, sizeof order);
    quadIndices->Unlock();

    IDirect3DVertexBuffer9* sparks = nullptr;
    ASSERT_EQ(d->CreateVertexBuffer(64 * sizeof(V),
                                    D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC | D3DUSAGE_POINTS,
                                    D3DFVF_XYZ | D3DFVF_DIFFUSE, D3DPOOL_DEFAULT, &sparks, nullptr),
              D3D_OK);
    const int live = d3d9::liveResources();
    d->SetRenderState(D3DRS_POINTSIZE, bits(1.0f));
    for (int frame = 0; frame < 100; ++frame) {
        clear(0xFF000000);
        d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        d->SetStreamSource(0, quadVertices, 0, sizeof(V));
        d->SetIndices(quadIndices);
        ASSERT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
        ASSERT_EQ(sparks->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
        auto* points = static_cast<V*>(data);
        for (int i = 0; i < 64; ++i) // a row of points that moves a pixel a frame
            points[i] = {(-300.0f + frame + 8.0f * i) / 400.0f + 0.5f / 400.0f, -0.8f, 0.5f,
                         0xFFFF0000};
        sparks->Unlock();
        d->SetStreamSource(0, sparks, 0, sizeof(V));
        ASSERT_EQ(d->DrawPrimitive(D3DPT_POINTLIST, 0, 64), D3D_OK);
        const test::Image& image = offscreen.present();
        ASSERT_EQ(image.at(400, 300).g, 255) << "frame " << frame;
        ASSERT_EQ(image.at(100 + frame, 540).r, 255) << "frame " << frame;
        ASSERT_EQ(image.at(100 + frame + 4, 540).r, 0) << "frame " << frame;
    }
    EXPECT_EQ(d3d9::liveResources(), live);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_POINTLIST, 60, 64), D3DERR_INVALIDCALL); // past the end
    d->SetStreamSource(0, nullptr, 0, 0);
    d->SetIndices(nullptr);
    sparks->Release();
    quadVertices->Release();
    quadIndices->Release();
    EXPECT_EQ(d3d9::liveResources(), live - 3);
}

namespace {

struct NativeRow {
    const char* light;
    BOOL localViewer;
    float power;
    int corners, edges, centre;
};

D3DLIGHT9 referenceLight(const std::string& name) {
    D3DLIGHT9 l{};
    l.Specular = {1, 1, 1, 0};
    if (name == "directional") {
        l.Type = D3DLIGHT_DIRECTIONAL;
        l.Direction = {0, 0, 1};
        return l;
    }
    l.Type = name == "spot" ? D3DLIGHT_SPOT : D3DLIGHT_POINT;
    l.Range = name == "point_range" ? 1.2f : 100.0f;
    l.Attenuation2 = 1;
    l.Position = name == "point_side" ? D3DVECTOR{-1.1f, 0, 1.1f} : D3DVECTOR{0, 0, 0};
    if (name == "spot") {
        l.Direction = {0, 0, 1};
        l.Falloff = 1;
        l.Theta = 3.14159265f / 12;
        l.Phi = 3.14159265f / 3;
    }
    return l;
}

} // namespace

// Specular values measured on the original platform (a 5 x 5 grid at z = 1 facing the camera,
// identity transforms, a 640 x 480 target, samples on grid vertices).
TEST_F(PipelineTest, SpecularMatchesTheOriginalPlatformForEveryLightType) {
    const NativeRow rows[] = {
        {"directional", FALSE, 30, 0xFF, 0xFF, 0xFF}, {"directional", TRUE, 30, 0x3C, 0x71, 0xFF},
        {"point", FALSE, 30, 0x28, 0x5A, 0xFF},       {"point", TRUE, 30, 0x00, 0x07, 0xFF},
        {"spot", FALSE, 30, 0x00, 0x14, 0xFF},        {"spot", TRUE, 30, 0x00, 0x02, 0xFF},
        {"point_range", FALSE, 30, 0x00, 0x5A, 0xFF}, {"point_side", TRUE, 0, 0x00, 0x00, 0x00},
        {"directional", TRUE, 0, 0xFF, 0xFF, 0xFF},   {"point", FALSE, 0, 0xAA, 0xCC, 0xFF},
        {"spot", TRUE, 0, 0x00, 0x2E, 0xFF},          {"point_range", FALSE, 0, 0x00, 0xCC, 0xFF},
    };
    auto* device = static_cast<d3d9::Device*>(d);
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(d->CreateTexture(640, 480, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                               &target, nullptr),
              D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    target->GetSurfaceLevel(0, &surface);
    d->SetRenderTarget(0, surface);
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    struct V {
        float x, y, z, nx, ny, nz;
    };
    std::vector<V> grid;
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i < 5; ++i)
            grid.push_back({-1.0f + 0.5f * i, 1.0f - 0.5f * j, 1.0f, 0, 0, -1});
    std::vector<V> triangles;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            for (int k : {0, 1, 6, 0, 6, 5})
                triangles.push_back(grid[static_cast<std::size_t>(j * 5 + i + k)]);
    const int corners[4][2] = {{160, 120}, {480, 120}, {160, 360}, {480, 360}};
    const int edges[4][2] = {{320, 120}, {160, 240}, {480, 240}, {320, 360}};
    for (const NativeRow& row : rows) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        D3DMATERIAL9 m{};
        m.Specular = {1, 1, 1, 1};
        m.Power = row.power;
        d->SetMaterial(&m);
        d->SetRenderState(D3DRS_LOCALVIEWER, row.localViewer);
        useLight(referenceLight(row.light));
        d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(triangles.size() / 3),
                           triangles.data(), sizeof(V));
        std::vector<unsigned char> bgra;
        ASSERT_EQ(device->readSurface(surface, bgra), D3D_OK);
        auto grey = [&bgra](const int* p) { return bgra[(p[1] * 640 + p[0]) * 4 + 1]; };
        const std::string what = std::string(row.light) + (row.localViewer ? " local" : "") +
                                 " power " + std::to_string(static_cast<int>(row.power));
        for (const auto& p : corners)
            EXPECT_NEAR(grey(p), row.corners, 2) << what << " corner";
        for (const auto& p : edges)
            EXPECT_NEAR(grey(p), row.edges, 2) << what << " edge";
        const int middle[2] = {320, 240};
        EXPECT_NEAR(grey(middle), row.centre, 2) << what << " centre";
    }
    surface->Release();
    target->Release();
}

TEST_F(PipelineTest, FlatShadingTakesTheFirstVertexColour) {
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    struct V {
        float x, y, z;
        D3DCOLOR c;
    };
    const V triangle[3] = {
        {-1, 1, 0.5f, 0xFFFF0000}, {1, 1, 0.5f, 0xFF00FF00}, {-1, -1, 0.5f, 0xFF0000FF}};
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(V));
    const test::Image& frame = offscreen.present();
    EXPECT_EQ(test::countDifferent(frame, 5, 5, 300, 200, {255, 0, 0}, 0), 0);
}

// Strips, fans and indexed lists too: each triangle takes the colour of its first vertex, the
// strip's i-th triangle vertex i, the fan's vertex i + 1 (both OpenGL's first-vertex rule).
TEST_F(PipelineTest, FlatStripsFansAndIndexedListsTakeEachTrianglesFirstVertex) {
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    struct V {
        float x, y, z;
        D3DCOLOR c;
    };
    // Top left, top right, bottom left, bottom right: the strip's triangles are the upper-left
    // and lower-right halves.
    const V strip[4] = {{-1, 1, 0.5f, 0xFFFF0000},
                        {1, 1, 0.5f, 0xFF00FF00},
                        {-1, -1, 0.5f, 0xFF0000FF},
                        {1, -1, 0.5f, 0xFFFFFFFF}};
    d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(V));
    const test::Image& stripFrame = offscreen.present();
    EXPECT_EQ(test::countDifferent(stripFrame, 20, 20, 200, 150, {255, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(stripFrame, 580, 430, 200, 150, {0, 255, 0}, 0), 0);

    // A fan round the top left corner: (0, 1, 2) upper right half, (0, 2, 3) lower left.
    const V fan[4] = {{-1, 1, 0.5f, 0xFFFF0000},
                      {1, 1, 0.5f, 0xFF00FF00},
                      {1, -1, 0.5f, 0xFF0000FF},
                      {-1, -1, 0.5f, 0xFFFFFFFF}};
    d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan, sizeof(V));
    const test::Image& fanFrame = offscreen.present();
    EXPECT_EQ(test::countDifferent(fanFrame, 580, 20, 200, 150, {0, 255, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(fanFrame, 20, 430, 200, 150, {0, 0, 255}, 0), 0);

    // The strip's two triangles as an indexed list with 16-bit indices, the second one starting
    // at the white corner.
    const WORD indices[6] = {0, 1, 2, 3, 2, 1};
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(d->CreateIndexBuffer(sizeof indices, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr),
              D3D_OK);
    void* at = nullptr;
    ASSERT_EQ(ib->Lock(0, 0, &at, 0), D3D_OK);
    std::memcpy(at, indices, sizeof indices);
    ib->Unlock();
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(d->CreateVertexBuffer(sizeof strip, 0, D3DFVF_XYZ | D3DFVF_DIFFUSE, D3DPOOL_MANAGED,
                                    &vb, nullptr),
              D3D_OK);
    ASSERT_EQ(vb->Lock(0, 0, &at, 0), D3D_OK);
    std::memcpy(at, strip, sizeof strip);
    vb->Unlock();
    d->SetStreamSource(0, vb, 0, sizeof(V));
    d->SetIndices(ib);
    d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
    const test::Image& indexedFrame = offscreen.present();
    EXPECT_EQ(test::countDifferent(indexedFrame, 20, 20, 200, 150, {255, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(indexedFrame, 580, 430, 200, 150, {255, 255, 255}, 0), 0);
    d->SetStreamSource(0, nullptr, 0, 0);
    d->SetIndices(nullptr);
    vb->Release();
    ib->Release();
}
