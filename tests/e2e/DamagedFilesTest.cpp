// Every file the show loads, damaged in every way a user's copy can be, each in turn: a short
// headless capture must exit 0, write its frames and say which file failed, as the show says
// it, or stay silent where the show does (the two particle images, a shortened song).
#include "e2e/Headless.h"
#include "support/Process.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace fs = std::filesystem;

namespace {

enum class Damage {
    Missing,
    Empty,
    Truncated,
    RandomBytes,
    Folder,
    HugeImage,
    LyingMesh,
    Jpeg,
    EmptyPngChunk,
    SecondPngHeader
};

const char* nameOf(Damage d) {
    constexpr const char* names[] = {"Missing",       "Empty",          "Truncated", "RandomBytes",
                                     "Folder",        "HugeImage",      "LyingMesh", "Jpeg",
                                     "EmptyPngChunk", "SecondPngHeader"};
    return names[static_cast<int>(d)];
}

struct Row {
    const char* file; // under the build folder
    Damage damage;
    const char* message; // what stderr must hold; empty: nothing about the file
};

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A PNG whose header claims 100,000 x 100,000 pixels and nothing after it.
std::string hugePngHeader() {
    const unsigned char bytes[] = {0x89, 'P',  'N', 'G', '\r', '\n', 0x1A, '\n', 0,    0,    0,
                                   13,   'I',  'H', 'D', 'R',  0,    1,    0x86, 0xA0, 0,    1,
                                   0x86, 0xA0, 8,   6,   0,    0,    0,    0x12, 0x34, 0x56, 0x78};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// A mesh that promises a million vertices and brings three.
const char* lyingMesh = "xof 0302txt 0064\n"
                        "Mesh { 1000000; 0;0;0;, 1;0;0;, 0;1;0;; 1000000; 3;0,1,2;; }\n";

void damage(const fs::path& file, const fs::path& original, Damage d) {
    fs::remove(file);
    std::mt19937 random(7);
    std::string noise(4096, '\0');
    switch (d) {
    case Damage::Missing:
        break;
    case Damage::Empty:
        writeBytes(file, "");
        break;
    case Damage::Truncated: {
        const std::string whole = test::readFile(original.string());
        writeBytes(file, whole.substr(0, whole.size() / 2));
        break;
    }
    case Damage::RandomBytes:
        for (char& c : noise)
            c = static_cast<char>(random());
        writeBytes(file, noise);
        break;
    case Damage::Folder:
        fs::create_directory(file);
        break;
    case Damage::HugeImage:
        writeBytes(file, hugePngHeader());
        break;
    case Damage::LyingMesh:
        writeBytes(file, lyingMesh);
        break;
    // Found by fuzzing: a JPEG that overflowed the decoder's Huffman table, a PNG whose empty
    // chunk made it copy from a null buffer, and one whose second header asked for 2 GB.
    case Damage::Jpeg:
        fs::copy_file(DAMAGED_DIR "/huffman-overflow.jpg", file);
        break;
    case Damage::EmptyPngChunk:
        fs::copy_file(DAMAGED_DIR "/empty-chunk.png", file);
        break;
    case Damage::SecondPngHeader:
        fs::copy_file(DAMAGED_DIR "/second-header.png", file);
        break;
    }
}

std::vector<Row> rows() {
    const Damage imageDamage[] = {Damage::Missing,     Damage::Empty,  Damage::Truncated,
                                  Damage::RandomBytes, Damage::Folder, Damage::HugeImage};
    const Damage meshDamage[] = {Damage::Missing,     Damage::Empty,  Damage::Truncated,
                                 Damage::RandomBytes, Damage::Folder, Damage::LyingMesh};
    const Damage musicDamage[] = {Damage::Missing, Damage::Empty, Damage::Truncated,
                                  Damage::RandomBytes, Damage::Folder};
    struct File {
        const char* name;
        const char* message;
    };
    const File images[] = {{"data/abc.png", "読み込み失敗: data\\abc.png"},
                           {"data/code.png", "読み込み失敗: data\\code.png"},
                           {"data/core.png", "Error: data\\core.pngの読み込みに失敗しました。"},
                           {"data/error.png", "読み込み失敗: data\\error.png"},
                           {"data/flash.png", "読み込み失敗: data\\flash.png"},
                           {"data/lf.png", "読み込み失敗: data\\lf.png"},
                           {"data/name1.png", "読み込み失敗: data\\name1.png"},
                           {"data/name2.png", "読み込み失敗: data\\name2.png"},
                           {"data/particle.png", ""},
                           {"data/particle2.png", ""},
                           {"data/qln.png", "読み込み失敗: data\\qln.png"},
                           {"data/target1.png", "読み込み失敗: data\\target1.png"},
                           {"data/target2.png", "読み込み失敗: data\\target2.png"},
                           {"data/warning.png", "読み込み失敗: data\\warning.png"}};
    std::vector<Row> table;
    for (const File& f : images)
        for (Damage d : imageDamage)
            table.push_back({f.name, d, f.message});
    for (const char* mesh : {"data/core1.x", "data/core2.x"})
        for (Damage d : meshDamage)
            table.push_back(
                {mesh, d,
                 mesh[9] == '1' ? "読み込み失敗: data\\core1.x" : "読み込み失敗: data\\core2.x"});
    // Half an MP3 is a shorter song: it plays, and the show goes on in silence after it.
    for (Damage d : musicDamage)
        table.push_back({"lf.mp3", d, d == Damage::Truncated ? "" : "Error: ファイル読み込み失敗"});
    table.push_back({"data/lf.png", Damage::Jpeg, "読み込み失敗: data\\lf.png"});
    table.push_back({"data/lf.png", Damage::EmptyPngChunk, "読み込み失敗: data\\lf.png"});
    table.push_back({"data/lf.png", Damage::SecondPngHeader, "読み込み失敗: data\\lf.png"});
    return table;
}

// The built art and music, one link a file, so any one of them can be replaced.
void linkEverything(const fs::path& work) {
    const fs::path build = fs::path(ART_DIR).parent_path();
    fs::create_directory(work / "data");
    for (const auto& entry : fs::directory_iterator(ART_DIR))
        fs::create_symlink(entry.path(), work / "data" / entry.path().filename());
    fs::create_symlink(build / "lf.mp3", work / "lf.mp3");
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class DamagedFiles : public ::testing::TestWithParam<Row> {};

} // namespace

TEST_P(DamagedFiles, TheShowSaysWhichFileFailedAndPlaysOn) {
    const Row& row = GetParam();
    const fs::path work = test::makeTempFolder();
    linkEverything(work);
    const fs::path original = fs::path(ART_DIR).parent_path() / row.file;
    damage(work / row.file, original, row.damage);
    const auto result = test::lumiflux({"--capture", "out/", "--frames", "0-1"}, work.string());
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(test::framesIn((work / "out").string()).size(), 2u);
    const std::string message = row.message;
    if (message.empty())
        EXPECT_EQ(count(result.output, "失敗"), 0u) << result.output;
    else
        EXPECT_EQ(count(result.output, message), 1u) << result.output;
    // Every other file loaded: the only failure reported is this one's.
    EXPECT_EQ(count(result.output, "失敗"), message.empty() ? 0u : 1u) << result.output;
}

INSTANTIATE_TEST_SUITE_P(EveryFileEveryDamage, DamagedFiles, ::testing::ValuesIn(rows()),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             std::string name = fs::path(info.param.file).filename().string() +
                                                "_" + nameOf(info.param.damage);
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });
