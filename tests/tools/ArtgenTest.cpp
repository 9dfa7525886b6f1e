#include "d3dx9.h"
#include "support/Image.h"
#include "support/OffscreenDevice.h"
#include "support/Process.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

// The art as the build leaves it beside the executable, and the generator run again.
namespace {

const std::string art = ART_DIR;

test::RgbaImage load(const std::string& file) {
    test::RgbaImage image;
    EXPECT_TRUE(test::loadRgbaPng(art + "/" + file, image)) << file;
    return image;
}

// Ink: any colour at all (the additive images are black where they show nothing).
bool inked(const test::RgbaImage& image, int x, int y) {
    const std::uint8_t* p = image.at(x, y);
    return p[0] > 0 || p[1] > 0 || p[2] > 0;
}

struct Bounds {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1; // inclusive; right < 0: none
};

Bounds inkBounds(const test::RgbaImage& image, int threshold = 0) {
    Bounds b;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (std::max({image.at(x, y)[0], image.at(x, y)[1], image.at(x, y)[2]}) > threshold) {
                b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x),
                     std::max(b.bottom, y)};
            }
    return b;
}

int brightest(const test::RgbaImage& image) {
    int most = 0;
    for (std::size_t i = 0; i < image.rgba.size(); i += 4)
        most = std::max({most, int{image.rgba[i]}, int{image.rgba[i + 1]}, int{image.rgba[i + 2]}});
    return most;
}

} // namespace

TEST(Art, EveryImageIsAnEightBitRgbaPngOfItsSize) {
    const std::pair<const char*, int> images[] = {
        {"lf.png", 512},      {"warning.png", 512}, {"particle.png", 64}, {"particle2.png", 64},
        {"target1.png", 256}, {"target2.png", 256}, {"abc.png", 512},     {"code.png", 512},
        {"error.png", 512},   {"flash.png", 256},   {"name1.png", 512},   {"name2.png", 512},
        {"qln.png", 512},     {"core.png", 256}};
    for (const auto& [file, size] : images) {
        const std::string bytes = test::readFile(art + "/" + file);
        ASSERT_GT(bytes.size(), 33u) << file;
        EXPECT_EQ(bytes.substr(1, 3), "PNG") << file;
        EXPECT_EQ(bytes.substr(12, 4), "IHDR") << file;
        auto be32 = [&](std::size_t at) {
            return (std::uint8_t(bytes[at]) << 24) | (std::uint8_t(bytes[at + 1]) << 16) |
                   (std::uint8_t(bytes[at + 2]) << 8) | std::uint8_t(bytes[at + 3]);
        };
        EXPECT_EQ(be32(16), size) << file;
        EXPECT_EQ(be32(20), size) << file;
        EXPECT_EQ(bytes[24], 8) << file << ": bit depth";
        EXPECT_EQ(bytes[25], 6) << file << ": colour type RGBA";
    }
}

TEST(Art, TheGlyphSheetInksEachOfItsCellsInsideTheMarginAndNothingElse) {
    const auto abc = load("abc.png");
    for (int cell = 0; cell < 40; ++cell) {
        const bool used = cell < 26 || cell >= 32; // A..Z, then 0..7 from texel y 192
        const int x0 = 48 * (cell % 8), y0 = 48 * (cell / 8);
        int inside = 0, margin = 0;
        for (int y = y0; y < y0 + 48; ++y)
            for (int x = x0; x < x0 + 48; ++x) {
                const bool inMargin = x < x0 + 4 || x >= x0 + 44 || y < y0 + 4 || y >= y0 + 44;
                (inMargin ? margin : inside) += inked(abc, x, y) && abc.at(x, y)[0] > 128;
            }
        EXPECT_EQ(margin, 0) << "cell " << cell;
        if (used)
            EXPECT_GT(inside, 100) << "cell " << cell;
        else
            EXPECT_EQ(inside, 0) << "cell " << cell;
    }
    // Nothing right of the eight columns or below the fifth row.
    const Bounds b = inkBounds(abc);
    EXPECT_LT(b.right, 384);
    EXPECT_LT(b.bottom, 240);
}

TEST(Art, TheWarningSignIsPremultipliedAndOnlyInItsCorner) {
    const auto warning = load("warning.png");
    int above = 0, outside = 0, covered = 0;
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            const std::uint8_t* p = warning.at(x, y);
            above += p[0] > p[3] || p[1] > p[3] || p[2] > p[3];
            if (x >= 320 || y >= 120)
                outside += p[3] != 0;
            else
                covered += p[3] > 128;
        }
    EXPECT_EQ(above, 0);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(covered, 320 * 120 * 9 / 10);
}

TEST(Art, TheAdditiveImagesKeepTheirInkWhereTheScenesShowIt) {
    // The code tiles every 506 rows: its top and bottom six rows are black.
    const auto code = load("code.png");
    const Bounds text = inkBounds(code);
    EXPECT_GE(text.top, 6);
    EXPECT_LE(text.bottom, 505);
    EXPECT_LE(brightest(code), 160);
    EXPECT_GE(brightest(code), 80);
    // Only the top-left 320 x 155 of the dialog is on screen, five copies adding.
    const auto error = load("error.png");
    const Bounds dialog = inkBounds(error);
    EXPECT_LT(dialog.right, 320);
    EXPECT_LT(dialog.bottom, 155);
    EXPECT_LE(brightest(error), 80);
    // Name lines fill rows 8 to 80 from the left edge, narrow enough to be read whole while
    // they slide (flashed as far right as x 454 on a screen ending at 720).
    for (const char* file : {"name1.png", "name2.png"}) {
        const Bounds name = inkBounds(load(file), 64);
        EXPECT_GE(name.top, 0) << file;
        EXPECT_LE(name.bottom, 88) << file;
        EXPECT_LE(name.top, 20) << file; // large: most of the band
        EXPECT_GE(name.bottom, 66) << file;
        EXPECT_LT(name.left, 16) << file;
        EXPECT_GT(name.right, 300) << file;
        EXPECT_LE(name.right, 350) << file;
    }
    // Sixteen copies of the title bloom to white: each alone is dim.
    const int title = brightest(load("lf.png"));
    EXPECT_GE(title, 40);
    EXPECT_LE(title, 64);
}

TEST(Art, ParticlesFallOffFromTheCentre) {
    const auto spark = load("particle.png");
    EXPECT_GT(spark.at(32, 32)[3], 240);
    EXPECT_EQ(spark.at(0, 32)[3], 0);
    EXPECT_EQ(spark.at(1, 1)[3], 0);
    EXPECT_GT(spark.at(32, 32)[3], spark.at(40, 32)[3]);
    EXPECT_GT(spark.at(40, 32)[3], spark.at(50, 32)[3]);
    EXPECT_EQ(spark.at(40, 32)[0], 255); // white, the alpha alone fades
    const auto glow = load("particle2.png");
    EXPECT_GT(glow.at(32, 32)[0], 240);
    EXPECT_EQ(glow.at(0, 32)[0], 0);
    EXPECT_EQ(glow.at(44, 32)[0], glow.at(44, 32)[3]);
}

TEST(Art, TwoRunsOfTheGeneratorWriteTheSameBytes) {
    const std::string one = test::makeTempFolder(), two = test::makeTempFolder();
    ASSERT_EQ(test::runProcess({ARTGEN_EXE, one}, "", {}, 60).exitCode, 0);
    ASSERT_EQ(test::runProcess({ARTGEN_EXE, two}, "", {}, 60).exitCode, 0);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(one)) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(test::readFile(one + "/" + name), test::readFile(two + "/" + name)) << name;
        EXPECT_EQ(test::readFile(one + "/" + name), test::readFile(art + "/" + name)) << name;
        ++files;
    }
    EXPECT_EQ(files, 16);
}

TEST(Art, TheGeneratorReportsWhatItCannotDo) {
    const std::string work = test::makeTempFolder();
    test::saveRgbaPng(work + "/file", 1, 1, {0, 0, 0, 0});
    const auto blocked = test::runProcess({ARTGEN_EXE, work + "/file/data"}, "", {}, 60);
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_NE(blocked.output.find("artgen: cannot make"), std::string::npos) << blocked.output;
    const auto usage = test::runProcess({ARTGEN_EXE}, "", {}, 60);
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_NE(usage.output.find("usage: artgen"), std::string::npos) << usage.output;
}

// The icon a desktop shows: a tile with clear rounded corners, the reticle's red arcs and a white
// centre, at each size; and an SVG document for the scalable one.
TEST(Art, TheIconIsDrawnAtEachDesktopSizeAndScalable) {
    const std::string icons = art + "/../icons/";
    for (const int size : {48, 128, 256}) {
        test::RgbaImage icon;
        ASSERT_TRUE(test::loadRgbaPng(icons + "lumiflux-" + std::to_string(size) + ".png", icon));
        ASSERT_EQ(icon.width, size);
        ASSERT_EQ(icon.height, size);
        EXPECT_EQ(icon.at(0, 0)[3], 0) << size;                 // outside the rounded tile
        EXPECT_EQ(icon.at(size - 1, size - 1)[3], 0) << size;   // the opposite corner
        EXPECT_EQ(icon.at(size / 2, size / 8)[3], 255) << size; // the tile, opaque
        const std::uint8_t* centre = icon.at(size / 2, size / 2);
        EXPECT_GT(std::min({centre[0], centre[1], centre[2]}), 200) << size; // the white glow
        // The top arcs (radius 96 of 256, drawn 12 to 78 degrees from the top): red.
        const std::uint8_t* arc =
            icon.at(size / 2 + size * 96 / 256 * 7 / 10, size / 2 - size * 96 / 256 * 7 / 10);
        EXPECT_GT(arc[0], 150) << size;
        EXPECT_LT(arc[1], 100) << size;
    }
    const std::string svg = test::readFile(icons + "lumiflux.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("width=\"256"), std::string::npos);
}

TEST(Art, TheMeshesLoadWithTheirMaterialsAndTexture) {
    test::OffscreenDevice offscreen;
    struct Expected {
        const char* file;
        DWORD materials;
        bool textured;
    };
    for (const Expected& e : {Expected{"core1.x", 1, false}, Expected{"core2.x", 3, true}}) {
        ID3DXMesh* mesh = nullptr;
        ID3DXBuffer* materials = nullptr;
        DWORD count = 0;
        ASSERT_EQ(D3DXLoadMeshFromXA((art + "/" + e.file).c_str(), D3DXMESH_MANAGED,
                                     offscreen.device(), nullptr, &materials, nullptr, &count,
                                     &mesh),
                  D3D_OK)
            << e.file;
        EXPECT_EQ(count, e.materials) << e.file;
        EXPECT_EQ(mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
        const auto* list = static_cast<D3DXMATERIAL*>(materials->GetBufferPointer());
        if (e.textured) {
            ASSERT_NE(list[0].pTextureFilename, nullptr);
            EXPECT_STREQ(list[0].pTextureFilename, "data\\core.png");
        }
        // Every face in a subset that exists; every subset used.
        DWORD* attributes = nullptr;
        mesh->LockAttributeBuffer(0, &attributes);
        std::vector<int> used(count, 0);
        for (DWORD f = 0; f < mesh->GetNumFaces(); ++f)
            if (attributes[f] < count) ++used[attributes[f]];
        mesh->UnlockAttributeBuffer();
        EXPECT_EQ(std::count(used.begin(), used.end(), 0), 0) << e.file;
        // The core is 80 to 100 units across; normals are unit length.
        float* vertex = nullptr;
        mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&vertex));
        float reach = 0, worstNormal = 0;
        for (DWORD v = 0; v < mesh->GetNumVertices(); ++v, vertex += 8) {
            reach = std::max(reach, std::hypot(vertex[0], vertex[1], vertex[2]));
            worstNormal =
                std::max(worstNormal, std::abs(std::hypot(vertex[3], vertex[4], vertex[5]) - 1.0f));
        }
        mesh->UnlockVertexBuffer();
        if (e.textured) {
            EXPECT_GE(reach, 40.0f);
            EXPECT_LE(reach, 50.0f);
        }
        EXPECT_LT(worstNormal, 1e-4f) << e.file;
        materials->Release();
        mesh->Release();
    }
}
