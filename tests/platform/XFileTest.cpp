#include "XFile.h"
#include "d3dx9.h"
#include "support/OffscreenDevice.h"
#include "support/Process.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

const std::string quadFile = R"(xof 0303txt 0032
// a redeclared standard template, as exporters write them
template Vector {
 <3D82AB5E-62DA-11CF-AB39-0020AF71E433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}
Material Shared { 0.0;1.0;0.0;1.0;; 5.0; 0.5;0.5;0.5;; 0.0;0.0;0.0;; }
Frame Root {
  FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,2.0,1.0;; }
  Mesh Quad {
    4; -1.0;-1.0;0.0;, 1.0;-1.0;0.0;, 1.0;1.0;0.0;, -1.0;1.0;0.0;;
    3; 3;0,1,2;, 3;0,2,3;, 4;0,1,2,3;;
    MeshNormals { 2; 0.0;0.0;-2.0;, 1.0;0.0;0.0;; 3; 3;0,0,0;, 3;0,0,0;, 4;1,1,0,0;; }
    MeshTextureCoords { 4; 0.0;1.0;, 1.0;1.0;, 1.0;0.0;, 0.0;0.0;; }
    MeshMaterialList { 3; 3; 2, 0, 1;;
      Material { 1.0;0.0;0.0;0.5;; 10.0; 1.0;1.0;1.0;; 0.1;0.2;0.3;; }
      Material Textured { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "data\\tex.png"; } }
      { Shared }
    }
  }
  Frame Child {
    FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,3,1;; }
    Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
  }
}
)";

HRESULT parse(const std::string& text, d3dx9::XScene& scene) {
    return d3dx9::parseXFile(text.data(), text.size(), scene);
}

} // namespace

TEST(XFile, MaterialsAttributesNormalsAndFramesAsThePlatformReadsThem) {
    d3dx9::XScene scene;
    ASSERT_EQ(parse(quadFile, scene), S_OK);
    ASSERT_EQ(scene.materials.size(), 4u); // three listed, one default for the child's mesh
    const D3DMATERIAL9& red = scene.materials[0].material;
    EXPECT_EQ(red.Diffuse.r, 1.0f);
    EXPECT_EQ(red.Diffuse.a, 0.5f);
    EXPECT_EQ(red.Ambient.a, 1.0f); // ambient is never in the file: black
    EXPECT_EQ(red.Ambient.r, 0.0f);
    EXPECT_EQ(red.Specular.a, 1.0f);
    EXPECT_EQ(red.Emissive.b, 0.3f);
    EXPECT_EQ(red.Power, 10.0f);
    EXPECT_FALSE(scene.materials[0].hasTexture);
    EXPECT_TRUE(scene.materials[1].hasTexture);
    EXPECT_EQ(scene.materials[1].textureName, "data\\\\tex.png"); // exactly as written
    EXPECT_EQ(scene.materials[2].material.Diffuse.g, 1.0f);       // the referenced one
    EXPECT_EQ(scene.materials[2].material.Power, 5.0f);
    EXPECT_EQ(scene.materials[3].material.Diffuse.a, 0.0f); // the default: grey, alpha 0
    EXPECT_EQ(scene.materials[3].material.Diffuse.r, 0.5f);

    // Polygons fan from their first corner and take their list entry.
    EXPECT_EQ(scene.attributes, (std::vector<DWORD>{2, 0, 1, 1, 3}));
    EXPECT_TRUE(scene.hasNormals);
    EXPECT_TRUE(scene.hasTexCoords);
    EXPECT_FALSE(scene.hasColours);
    // Corners 0 and 1 of the quad use another normal: two copies after the four.
    ASSERT_EQ(scene.vertices.size(), 4u + 2u + 3u);
    EXPECT_EQ(scene.vertices[0].normal.z, -1.0f); // normalised
    EXPECT_EQ(scene.vertices[4].normal.x, 1.0f);
    EXPECT_EQ(scene.vertices[4].position.x, -1.0f);
    EXPECT_EQ(scene.vertices[4].v, 1.0f); // a copy keeps the other attributes
    EXPECT_EQ((std::vector<DWORD>(scene.indices.begin() + 6, scene.indices.begin() + 12)),
              (std::vector<DWORD>{4, 5, 2, 4, 2, 3}));
    // Frames accumulate: the quad at z 2, the child's triangle at 2 + 3.
    EXPECT_EQ(scene.vertices[0].position.z, 2.0f);
    EXPECT_EQ(scene.vertices[6].position.z, 5.0f);
}

TEST(XFile, DamagedFilesFailCleanly) {
    d3dx9::XScene scene;
    const std::string cut = quadFile.substr(0, quadFile.rfind('}'));
    for (std::size_t length = 0; length < cut.size(); length += 3)
        ASSERT_TRUE(FAILED(parse(cut.substr(0, length), scene))) << "cut at " << length;

    auto broken = [](const std::string& from, const std::string& to) {
        std::string text = quadFile;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        const char* what;
        std::string text;
    } rows[] = {
        {"more vertices than given", broken("4; -1.0", "5; -1.0")},
        {"a face index past the vertices", broken("3;0,1,2;,", "3;0,1,9;,")},
        {"a face of two corners", broken("3;0,2,3;,", "2;0,2;,")},
        {"more faces than given", broken("3; 3;0,1,2;", "40; 3;0,1,2;")},
        {"a huge count", broken("4; -1.0", "4000000000; -1.0")},
        {"a negative count", broken("4; -1.0", "-4; -1.0")},
        {"a count beyond any integer", broken("4; -1.0", "1e300; -1.0")},
        {"too few texture coordinates", broken("MeshTextureCoords { 4;", "MeshTextureCoords { 3;")},
        {"normals for too few faces",
         broken("3; 3;0,0,0;, 3;0,0,0;, 4;1,1,0,0;;", "2; 3;0,0,0;, 3;0,0,0;;")},
        {"a normal index past the normals", broken("4;1,1,0,0;;", "4;1,1,0,7;;")},
        {"too few materials", broken("{ Shared }", "")},
        {"a reference to nothing", broken("{ Shared }", "{ Missing }")},
        {"a short material", broken("0.1;0.2;0.3;; }", "}")},
        {"binary", broken("xof 0303txt 0032", "xof 0303bin 0032")},
        {"compressed", broken("xof 0303txt 0032", "xof 0303tzip0032")},
        {"an unknown version", broken("xof 0303txt", "xof 0304txt")},
        {"no header", quadFile.substr(16)},
        {"no mesh at all", "xof 0303txt 0032\nFrame Empty { }\n"},
        {"an unclosed string", broken("\"data\\\\tex.png\"", "\"data")},
        {"a frame inside itself", "xof 0303txt 0032\nFrame Loop { { Loop } }\n"},
        {"nesting beyond reason", "xof 0303txt 0032\n" + std::string(5000, 'F') + "\n"},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(FAILED(parse(row.text, scene))) << row.what;
        EXPECT_TRUE(scene.vertices.empty()) << row.what;
    }
    std::string deep = "xof 0303txt 0032\n";
    for (int i = 0; i < 10000; ++i)
        deep += "Frame {";
    EXPECT_TRUE(FAILED(parse(deep, scene)));
}

TEST(XFile, LenientWhereExportersDiffer) {
    d3dx9::XScene scene;
    // Unknown objects are skipped; exponents, integers for floats and 0302 files read.
    const std::string text =
        "xof 0302txt 0064\n"
        "AnimTicksPerSecond { 24; }\n"
        "Mesh { 3; 0;0;0;, 1e0;0;0;, 0;1.0E+0;0;; 1; 3;0,1,2;;\n"
        "  MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } }\n"
        "  VertexDuplicationIndices { 3; 3; 0, 1, 2; }\n"
        "  MeshVertexColors { 1; 2; 1.5;0.5;0.0;1.0;;; }\n"
        "}\n";
    ASSERT_EQ(parse(text, scene), S_OK);
    EXPECT_EQ(scene.vertices[1].position.x, 1.0f);
    EXPECT_EQ(scene.vertices[2].position.y, 1.0f);
    EXPECT_EQ(scene.attributes, (std::vector<DWORD>{0}));
    EXPECT_EQ(scene.vertices[2].colour, D3DCOLOR_ARGB(255, 255, 128, 0)); // clamped, rounded
    EXPECT_EQ(scene.vertices[0].colour, 0x00FFFFFFu);
}

TEST(XFile, LoadsIntoAMeshWithAMaterialBuffer) {
    test::OffscreenDevice offscreen;
    const std::string folder = test::makeTempFolder();
    std::ofstream(folder + "/quad.x", std::ios::binary) << quadFile;
    ID3DXBuffer* materials = nullptr;
    DWORD count = 0;
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromXA((folder + "\\quad.x").c_str(), D3DXMESH_MANAGED,
                                 offscreen.device(), nullptr, &materials, nullptr, &count, &mesh),
              D3D_OK);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
    EXPECT_EQ(mesh->GetNumFaces(), 5u);
    auto* list = static_cast<D3DXMATERIAL*>(materials->GetBufferPointer());
    EXPECT_EQ(list[0].pTextureFilename, nullptr);
    ASSERT_NE(list[1].pTextureFilename, nullptr);
    EXPECT_STREQ(list[1].pTextureFilename, "data\\\\tex.png");
    DWORD* attributes = nullptr;
    mesh->LockAttributeBuffer(0, &attributes);
    EXPECT_EQ((std::vector<DWORD>(attributes, attributes + 5)),
              (std::vector<DWORD>{0, 1, 1, 2, 3}));
    mesh->UnlockAttributeBuffer();
    EXPECT_EQ(mesh->DrawSubset(1), D3D_OK);
    materials->Release();
    mesh->Release();

    mesh = reinterpret_cast<ID3DXMesh*>(&count);
    EXPECT_TRUE(
        FAILED(D3DXLoadMeshFromXA((folder + "/missing.x").c_str(), D3DXMESH_MANAGED,
                                  offscreen.device(), nullptr, nullptr, nullptr, nullptr, &mesh)));
    EXPECT_EQ(mesh, reinterpret_cast<ID3DXMesh*>(&count)); // written only on success
}
