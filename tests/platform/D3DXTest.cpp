#include "Device.h"
#include "d3dx9.h"
#include "support/Image.h"
#include "support/OffscreenDevice.h"
#include "support/Process.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

struct V {
    D3DXVECTOR3 p, n;
};

class D3DXTest : public ::testing::Test {
  protected:
    std::vector<V> vertices(ID3DXMesh* mesh) {
        void* data = nullptr;
        mesh->LockVertexBuffer(D3DLOCK_READONLY, &data);
        std::vector<V> out(static_cast<const V*>(data),
                           static_cast<const V*>(data) + mesh->GetNumVertices());
        mesh->UnlockVertexBuffer();
        return out;
    }
    std::vector<WORD> indices(ID3DXMesh* mesh) {
        void* data = nullptr;
        mesh->LockIndexBuffer(D3DLOCK_READONLY, &data);
        std::vector<WORD> out(static_cast<const WORD*>(data),
                              static_cast<const WORD*>(data) + 3 * mesh->GetNumFaces());
        mesh->UnlockIndexBuffer();
        return out;
    }
    // Every non-degenerate face turns clockwise seen from outside: its cross product agrees
    // with the normals of its corners.
    void expectOutward(ID3DXMesh* mesh) {
        const auto v = vertices(mesh);
        const auto i = indices(mesh);
        for (std::size_t f = 0; f < i.size(); f += 3) {
            const D3DXVECTOR3 a = v[i[f]].p, b = v[i[f + 1]].p, c = v[i[f + 2]].p;
            const D3DXVECTOR3 e1{b.x - a.x, b.y - a.y, b.z - a.z},
                e2{c.x - a.x, c.y - a.y, c.z - a.z};
            const D3DXVECTOR3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z,
                                e1.x * e2.y - e1.y * e2.x};
            const float area = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
            if (area < 1e-6f) continue;
            D3DXVECTOR3 sum{0, 0, 0};
            for (int k = 0; k < 3; ++k)
                sum = {sum.x + v[i[f + k]].n.x, sum.y + v[i[f + k]].n.y, sum.z + v[i[f + k]].n.z};
            ASSERT_GT(n.x * sum.x + n.y * sum.y + n.z * sum.z, 0) << "face " << f / 3;
        }
    }
    test::OffscreenDevice offscreen;
    IDirect3DDevice9* d = offscreen.device();
};

void expectVector(const D3DXVECTOR3& v, float x, float y, float z, const char* what) {
    EXPECT_NEAR(v.x, x, 1e-5f) << what;
    EXPECT_NEAR(v.y, y, 1e-5f) << what;
    EXPECT_NEAR(v.z, z, 1e-5f) << what;
}

std::string writePng(const std::string& folder, const std::string& name, int w, int h, int channels,
                     const std::vector<unsigned char>& pixels);

} // namespace

TEST_F(D3DXTest, TheBoxIsLaidOutAsThePlatformLaysItOut) {
    ID3DXMesh* box = nullptr;
    ASSERT_EQ(D3DXCreateBox(d, 2, 4, 6, &box, nullptr), D3D_OK);
    EXPECT_EQ(box->GetNumVertices(), 24u);
    EXPECT_EQ(box->GetNumFaces(), 12u);
    EXPECT_EQ(box->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL));
    EXPECT_EQ(box->GetOptions(), D3DXMESH_MANAGED);
    const auto v = vertices(box);
    expectVector(v[0].p, -1, -2, -3, "vertex 0");
    expectVector(v[0].n, -1, 0, 0, "normal 0");
    expectVector(v[6].p, 1, 2, 3, "vertex 6");
    expectVector(v[6].n, 0, 1, 0, "normal 6");
    expectVector(v[12].p, -1, -2, 3, "vertex 12");
    expectVector(v[23].p, 1, -2, -3, "vertex 23");
    expectVector(v[23].n, 0, 0, -1, "normal 23");
    const std::vector<WORD> expected = {0,  1,  2,  2,  3,  0,  4,  5,  6,  6,  7,  4,
                                        8,  9,  10, 10, 11, 8,  12, 13, 14, 14, 15, 12,
                                        16, 17, 18, 18, 19, 16, 20, 21, 22, 22, 23, 20};
    EXPECT_EQ(indices(box), expected);
    expectOutward(box);
    // Without adjacency, computed normals are the faces' own.
    ASSERT_EQ(D3DXComputeNormals(box, nullptr), D3D_OK);
    const auto after = vertices(box);
    for (int i = 0; i < 24; ++i)
        expectVector(after[i].n, v[i].n.x, v[i].n.y, v[i].n.z, "recomputed");
    box->Release();
    EXPECT_EQ(D3DXCreateBox(d, -1, 1, 1, &box, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(box, nullptr);
}

TEST_F(D3DXTest, SphereCylinderAndTorusIndexListsCountsAndWinding) {
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXCreateSphere(d, 1, 3, 3, &mesh, nullptr), D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 8u);
    EXPECT_EQ(indices(mesh),
              (std::vector<WORD>{0, 2, 1, 0, 3, 2, 0, 1, 3, 1, 2, 4, 2, 5, 4, 2, 3, 5,
                                 3, 6, 5, 3, 1, 6, 1, 4, 6, 4, 5, 7, 5, 6, 7, 6, 4, 7}));
    expectVector(vertices(mesh)[1].p, 0, std::sin(3.14159265f / 3), std::cos(3.14159265f / 3),
                 "first ring starts on +y");
    mesh->Release();
    ASSERT_EQ(D3DXCreateSphere(d, 5, 6, 7, &mesh, nullptr), D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 2u + 6u * 6u);
    EXPECT_EQ(mesh->GetNumFaces(), 2u * 6u * 6u);
    expectOutward(mesh);
    mesh->Release();

    ASSERT_EQ(D3DXCreateCylinder(d, 1, 1, 1, 3, 1, &mesh, nullptr), D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 14u);
    EXPECT_EQ(indices(mesh),
              (std::vector<WORD>{0, 1, 2, 0, 2, 3, 0, 3, 1, 4,  7,  5,  5,  7,  8,  5,  8,  6,
                                 6, 8, 9, 6, 9, 4, 4, 9, 7, 10, 13, 11, 11, 13, 12, 12, 13, 10}));
    mesh->Release();
    ASSERT_EQ(D3DXCreateCylinder(d, 3, 0, 5, 11, 20, &mesh, nullptr), D3D_OK); // a cone
    EXPECT_EQ(mesh->GetNumVertices(), 2u + 11u * 23u);
    EXPECT_EQ(mesh->GetNumFaces(), 2u * 11u * 21u);
    expectOutward(mesh);
    mesh->Release();
    ASSERT_EQ(D3DXCreateCylinder(d, 1, 2, 0, 4, 1, &mesh, nullptr), D3D_OK); // no length
    for (const V& vertex : vertices(mesh))
        ASSERT_TRUE(std::isfinite(vertex.n.x) && std::isfinite(vertex.n.z));
    mesh->Release();

    ASSERT_EQ(D3DXCreateTorus(d, 0.5f, 2, 3, 3, &mesh, nullptr), D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 9u);
    EXPECT_EQ(indices(mesh),
              (std::vector<WORD>{0, 1, 3, 3, 1, 4, 1, 2, 4, 4, 2, 5, 2, 0, 5, 5, 0, 3,
                                 3, 4, 6, 6, 4, 7, 4, 5, 7, 7, 5, 8, 5, 3, 8, 8, 3, 6,
                                 6, 7, 0, 0, 7, 1, 7, 8, 1, 1, 8, 2, 8, 6, 2, 2, 6, 0}));
    expectVector(vertices(mesh)[0].p, 2.5f, 0, 0, "ring 0, outer equator");
    mesh->Release();
    ASSERT_EQ(D3DXCreateTorus(d, 0.2f, 1, 8, 70, &mesh, nullptr), D3D_OK);
    expectOutward(mesh);
    mesh->Release();
    EXPECT_EQ(D3DXCreateTorus(d, 1, 1, 2, 5, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateSphere(d, 1, 1, 5, &mesh, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(D3DXTest, TheTeapotHasItsFacesUprightAndOutward) {
    ID3DXMesh* teapot = nullptr;
    ASSERT_EQ(D3DXCreateTeapot(d, &teapot, nullptr), D3D_OK);
    EXPECT_EQ(teapot->GetNumFaces(), 2256u);
    EXPECT_NEAR(static_cast<double>(teapot->GetNumVertices()), 1178.0, 2.0);
    EXPECT_EQ(teapot->GetOptions(), D3DXMESH_MANAGED);
    expectOutward(teapot);
    const auto v = vertices(teapot);
    float lowest = 1e9f, highest = -1e9f, widest = 0;
    for (const V& vertex : v) {
        lowest = std::fmin(lowest, vertex.p.y);
        highest = std::fmax(highest, vertex.p.y);
        widest = std::fmax(widest, std::fabs(vertex.p.x));
        ASSERT_NEAR(vertex.n.x * vertex.n.x + vertex.n.y * vertex.n.y + vertex.n.z * vertex.n.z, 1,
                    1e-4f);
    }
    EXPECT_NEAR(lowest, -0.66f, 0.01f); // upright along +y
    EXPECT_NEAR(highest, 0.915f, 0.01f);
    EXPECT_NEAR(widest, 1.0f, 0.01f); // body radius 1
    // The outward faces enclose a positive volume.
    const auto i = indices(teapot);
    double volume = 0;
    for (std::size_t f = 0; f < i.size(); f += 3) {
        const D3DXVECTOR3 a = v[i[f]].p, b = v[i[f + 1]].p, c = v[i[f + 2]].p;
        volume += (a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) +
                   a.z * (b.x * c.y - b.y * c.x)) /
                  6.0;
    }
    EXPECT_GT(volume, 1.0);
    teapot->Release();
}

TEST_F(D3DXTest, ComputedNormalsAndClonesKeepWhatTheyShould) {
    ID3DXMesh* sphere = nullptr;
    ASSERT_EQ(D3DXCreateSphere(d, 1, 4, 6, &sphere, nullptr), D3D_OK);
    ID3DXMesh* textured = nullptr;
    ASSERT_EQ(sphere->CloneMeshFVF(D3DXMESH_MANAGED | D3DXMESH_32BIT,
                                   D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, d, &textured),
              D3D_OK);
    EXPECT_EQ(textured->GetNumBytesPerVertex(), 32u);
    EXPECT_EQ(textured->GetNumFaces(), sphere->GetNumFaces());
    struct T {
        D3DXVECTOR3 p, n;
        float u, v;
    };
    void* data = nullptr;
    textured->LockVertexBuffer(D3DLOCK_READONLY, &data);
    const auto* t = static_cast<const T*>(data);
    const auto original = vertices(sphere);
    for (DWORD i = 0; i < textured->GetNumVertices(); ++i) {
        expectVector(t[i].p, original[i].p.x, original[i].p.y, original[i].p.z, "position kept");
        expectVector(t[i].n, original[i].n.x, original[i].n.y, original[i].n.z, "normal kept");
        ASSERT_EQ(t[i].u, 0.0f);
        ASSERT_EQ(t[i].v, 0.0f);
    }
    textured->UnlockVertexBuffer();
    void* wide = nullptr;
    textured->LockIndexBuffer(D3DLOCK_READONLY, &wide);
    EXPECT_EQ(static_cast<const DWORD*>(wide)[5], indices(sphere)[5]);
    textured->UnlockIndexBuffer();
    textured->Release();

    // The platform's own angle-weighted normals for this sphere.
    ASSERT_EQ(D3DXComputeNormals(sphere, nullptr), D3D_OK);
    const auto smooth = vertices(sphere);
    expectVector(smooth[1].n, 0, 0.582244f, 0.813014f, "vertex 1");
    expectVector(smooth[5].n, 0, 0.890608f, 0.454772f, "vertex 5");
    expectVector(smooth[9].n, 0, 1, 0, "vertex 9");

    ID3DXMesh* bare = nullptr;
    ASSERT_EQ(sphere->CloneMeshFVF(D3DXMESH_MANAGED, D3DFVF_XYZ, d, &bare), D3D_OK);
    EXPECT_EQ(D3DXComputeNormals(bare, nullptr), D3DERR_INVALIDCALL); // nowhere to put them
    EXPECT_EQ(D3DXComputeNormals(nullptr, nullptr), D3DERR_INVALIDCALL);
    bare->Release();

    // DrawSubset draws the faces of its id in one run and nothing for other ids.
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0, 0, 0.5f);
    d->SetTransform(D3DTS_WORLD, &world);
    EXPECT_EQ(sphere->DrawSubset(0), D3D_OK);
    EXPECT_EQ(sphere->DrawSubset(3), D3D_OK);
    offscreen.present();
    const auto& stats = static_cast<d3d9::Device*>(d)->lastFrameStats();
    EXPECT_EQ(stats.drawsByType[D3DPT_TRIANGLELIST], 1u);
    EXPECT_EQ(stats.primitives, sphere->GetNumFaces());
    sphere->Release();
}

TEST(D3DXMath, MatricesMatchTheirFormulas) {
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovLH(&p, 3.14159265f / 4, 1.3333334f, 1, 100);
    EXPECT_NEAR(p._22, 2.4142137f, 1e-5f);
    EXPECT_NEAR(p._11, 1.8106601f, 1e-5f);
    EXPECT_NEAR(p._33, 100.0f / 99.0f, 1e-6f);
    EXPECT_NEAR(p._43, -100.0f / 99.0f, 1e-6f);
    EXPECT_EQ(p._34, 1.0f);
    EXPECT_EQ(p._44, 0.0f);

    D3DXMATRIX r, t, m;
    D3DXMatrixRotationX(&r, 3.14159265f / 2); // +y turns towards +z
    EXPECT_NEAR(r._22, 0, 1e-6f);
    EXPECT_NEAR(r._23, 1, 1e-6f);
    D3DXMatrixRotationY(&r, 3.14159265f / 2); // +z towards +x
    EXPECT_NEAR(r._31, 1, 1e-6f);
    D3DXMatrixRotationZ(&r, 3.14159265f / 2); // +x towards +y
    EXPECT_NEAR(r._12, 1, 1e-6f);
    D3DXMatrixTranslation(&t, 1, 2, 3);
    D3DXMatrixMultiply(&m, &r, &t); // rotate first, then move
    EXPECT_NEAR(m._41, 1, 1e-6f);
    EXPECT_NEAR(m._12, 1, 1e-6f);
    D3DXMatrixMultiply(&m, &m, &m); // out may alias the inputs
    EXPECT_NEAR(m._11, -1, 1e-5f);

    const D3DXVECTOR3 eye{0, 5, -10}, at{0, 0, 0}, up{0, 1, 0};
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    // The eye lands on the origin; the target straight ahead on +z.
    EXPECT_NEAR(eye.x * view._11 + eye.y * view._21 + eye.z * view._31 + view._41, 0, 1e-5f);
    EXPECT_NEAR(at.x * view._13 + at.y * view._23 + at.z * view._33 + view._43, std::sqrt(125.0f),
                1e-4f);
    D3DXMatrixLookAtLH(&view, &at, &at, &up); // eye on its target: flat but finite
    for (int i = 0; i < 16; ++i)
        ASSERT_TRUE(std::isfinite((&view._11)[i]));
    D3DXVECTOR3 zero{0, 0, 0};
    D3DXVec3Normalize(&zero, &zero);
    EXPECT_EQ(zero.x, 0.0f);
}

namespace {

std::string writePng(const std::string& folder, const std::string& name, int w, int h, int channels,
                     const std::vector<unsigned char>& pixels) {
    test::Image image;
    image.width = w;
    image.height = h;
    const std::string path = folder + "/" + name;
    if (channels == 3) {
        image.pixels = pixels;
        test::savePng(path, image);
    } else {
        test::saveRgbaPng(path, w, h, pixels);
    }
    return path;
}

DWORD texel(IDirect3DTexture9* texture, UINT level, int x, int y) {
    D3DLOCKED_RECT locked{};
    texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY);
    const DWORD v = reinterpret_cast<const DWORD*>(static_cast<const unsigned char*>(locked.pBits) +
                                                   y * locked.Pitch)[x];
    texture->UnlockRect(level);
    return v;
}

} // namespace

TEST_F(D3DXTest, ImageFilesBecomeTexturesOrFailCleanly) {
    const std::string folder = test::makeTempFolder();
    std::vector<unsigned char> rgba;
    for (int i = 0; i < 16; ++i)
        rgba.insert(rgba.end(), {static_cast<unsigned char>(i * 16), 20, 200,
                                 static_cast<unsigned char>(255 - i)});
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(d, writePng(folder, "rgba.png", 4, 4, 4, rgba).c_str(),
                                         &texture),
              D3D_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(texture->GetLevelCount(), 3u);
    EXPECT_EQ(texel(texture, 0, 1, 0), D3DCOLOR_ARGB(254, 16, 20, 200));
    EXPECT_EQ(texel(texture, 0, 3, 3), D3DCOLOR_ARGB(240, 240, 20, 200)); // rows top first
    texture->Release();

    std::vector<unsigned char> rgb(300 * 100 * 3, 90);
    for (int x = 0; x < 150; ++x) // the left half black, to be keyed out
        for (int y = 0; y < 100; ++y)
            for (int c = 0; c < 3; ++c)
                rgb[(static_cast<std::size_t>(y) * 300 + x) * 3 + c] = 0;
    const std::string wide = writePng(folder, "wide.png", 300, 100, 3, rgb);
    ASSERT_EQ(D3DXCreateTextureFromFileA(d, wide.c_str(), &texture), D3D_OK);
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(desc.Width, 512u); // stretched to powers of two, the whole picture kept
    EXPECT_EQ(desc.Height, 128u);
    EXPECT_EQ(texture->GetLevelCount(), 10u);
    EXPECT_EQ(texel(texture, 0, 500, 60) & 0xFFFFFF, 0x5A5A5Au);
    texture->Release();

    ASSERT_EQ(D3DXCreateTextureFromFileExA(d, wide.c_str(), D3DX_DEFAULT, D3DX_DEFAULT,
                                           D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                           D3DX_DEFAULT, D3DX_DEFAULT, 0xFF000000, nullptr, nullptr,
                                           &texture),
              D3D_OK);
    EXPECT_EQ(texel(texture, 0, 10, 60), 0u); // keyed: transparent black
    EXPECT_EQ(texel(texture, 0, 500, 60), 0xFF5A5A5Au);
    texture->Release();

    // Missing, truncated and random files fail and make nothing.
    const std::string good = test::readFile(wide);
    std::ofstream(folder + "/truncated.png", std::ios::binary) << good.substr(0, good.size() / 2);
    std::mt19937 random(7);
    std::string noise(4096, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    std::ofstream(folder + "/noise.png", std::ios::binary) << noise;
    std::ofstream(folder + "/empty.png", std::ios::binary);
    for (const char* name : {"missing.png", "truncated.png", "noise.png", "empty.png"}) {
        texture = reinterpret_cast<IDirect3DTexture9*>(&desc); // must be overwritten
        EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileA(d, (folder + "/" + name).c_str(), &texture)))
            << name;
        EXPECT_EQ(texture, nullptr) << name;
    }
    // Backslashes are folder separators.
    const std::string backslashed = folder + "\\rgba.png";
    ASSERT_EQ(D3DXCreateTextureFromFileA(d, backslashed.c_str(), &texture), D3D_OK);
    texture->Release();
}

TEST_F(D3DXTest, BlankTexturesHaveAFullChain) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTexture(d, 256, 128, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 9u);
    EXPECT_EQ(texel(texture, 0, 7, 7), 0u);
    texture->Release();
}
