#include "gfx/XFileMesh.h"
#include "support/Image.h"
#include "support/OffscreenDevice.h"
#include "support/Process.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>

namespace {

std::string threeMaterials(const std::string& textureName) {
    return "xof 0303txt 0032\n"
           "Mesh { 4; -1;-1;0;, 1;-1;0;, 1;1;0;, -1;1;0;; 3; 3;0,1,2;, 3;0,2,3;, 3;0,1,3;;\n"
           "  MeshNormals { 1; 0;0;-1;; 3; 3;0,0,0;, 3;0,0,0;, 3;0,0,0;; }\n"
           "  MeshTextureCoords { 4; 0;1;, 1;1;, 1;0;, 0;0;; }\n"
           "  MeshMaterialList { 3; 3; 0, 1, 2;;\n"
           "    Material { 1;0;0;1;; 1; 0;0;0;; 0;0;0;; }\n"
           "    Material { 0;1;0;0.5;; 2; 1;1;1;; 0;0;0;; TextureFilename { \"" +
           textureName +
           "\"; } }\n"
           "    Material { 0;0;1;1;; 3; 0;0;0;; 0.5;0.5;0.5;; }\n"
           "  }\n"
           "}\n";
}

class XFileMeshTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = test::makeTempFolder();
        test::Image image;
        image.width = image.height = 2;
        image.pixels.assign(12, 200);
        test::savePng(folder + "/tex.png", image);
    }
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(folder + "/" + name, std::ios::binary) << text;
        return folder + "/" + name;
    }
    std::string folder;
    test::OffscreenDevice offscreen;
    IDirect3DDevice9* d = offscreen.device();
};

} // namespace

TEST_F(XFileMeshTest, OnlyTheSubsetThatNamesATextureGetsOneAndReplacedMaterialsStayCopies) {
    XFileMesh mesh;
    ASSERT_EQ(mesh.load(d, write("three.x", threeMaterials(folder + "\\\\tex.png")).c_str()), 0);
    ASSERT_EQ(mesh.getSubsetCount(), 3u);
    EXPECT_EQ(mesh.getTextures()[0], nullptr);
    EXPECT_NE(mesh.getTextures()[1], nullptr);
    EXPECT_EQ(mesh.getTextures()[2], nullptr);
    EXPECT_EQ(mesh.getMaterials()[1].Diffuse.a, 0.5f);
    EXPECT_EQ(mesh.getMaterials()[1].Ambient.a, 1.0f); // ambient as the library gives it

    mesh.draw();
    IDirect3DBaseTexture9* bound = mesh.getTextures()[1];
    d->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);

    const std::vector<D3DMATERIAL9> before = mesh.getMaterials();
    mesh.drawWithAlpha(128);
    D3DMATERIAL9 used{};
    d->GetMaterial(&used); // the last subset's, changed for the draw
    EXPECT_FLOAT_EQ(used.Diffuse.a, 0.5019608f);
    EXPECT_FLOAT_EQ(used.Emissive.a, 0.5019608f);
    EXPECT_EQ(used.Diffuse.b, 1.0f);
    mesh.drawWithColor(255, 0, 0);
    d->GetMaterial(&used);
    EXPECT_EQ(used.Emissive.r, 1.0f);
    EXPECT_EQ(used.Emissive.g, 0.0f);
    EXPECT_EQ(used.Diffuse.a, 1.0f);
    EXPECT_EQ(std::memcmp(before.data(), mesh.getMaterials().data(), 3 * sizeof(D3DMATERIAL9)), 0);

    mesh.getMaterial().setDiffuse(0.25, 0.5, 0.75);
    mesh.drawWithOwnMaterial();
    d->GetMaterial(&used);
    EXPECT_EQ(used.Diffuse.g, 0.5f);
}

TEST_F(XFileMeshTest, MissingFilesAreReportedAndWhatLoadedStillDraws) {
    testing::internal::CaptureStderr();
    XFileMesh missingFile;
    EXPECT_EQ(missingFile.load(d, "data\\core9.x"), 1);
    missingFile.draw(); // nothing to draw, and no crash
    XFileMesh missingTexture;
    EXPECT_EQ(missingTexture.load(d, write("lost.x", threeMaterials("lost.png")).c_str()), 1);
    EXPECT_EQ(missingTexture.getSubsetCount(), 3u); // every subset still draws, untextured
    EXPECT_EQ(missingTexture.getTextures()[1], nullptr);
    EXPECT_EQ(missingTexture.getMaterials()[2].Power, 3.0f);
    missingTexture.draw();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "読み込み失敗: data\\core9.x\nError: lost.pngの読み込みに失敗しました。\n");
}

TEST(XFileMeshMessage, LongNamesAreShortenedAtACharacterSoTheMessageEnds) {
    const std::string tail = "の読み込みに失敗しました。";
    const std::string message = textureFailureMessage(std::string(300, 'a').c_str(), 100);
    EXPECT_LE(message.size(), 99u);
    EXPECT_EQ(message.substr(message.size() - tail.size()), tail);
    std::string japanese;
    for (int i = 0; i < 40; ++i)
        japanese += "画";
    const std::string cut = textureFailureMessage(japanese.c_str(), 100);
    EXPECT_LE(cut.size(), 99u);
    EXPECT_EQ((cut.size() - tail.size()) % 3, 0u); // whole characters only
    EXPECT_EQ(textureFailureMessage("a.png", 100), "a.png" + tail);
}
