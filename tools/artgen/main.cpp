// artgen: draws every image and writes every mesh the show loads.
//   artgen FOLDER            the data files into FOLDER
//   artgen --sheet FILE.png  all images on one contact sheet, for review
//   artgen --icons FOLDER    the program's icon at the desktop's sizes, and scalable
#include "ContactSheet.h"
#include "CrystalMesh.h"
#include "Icon.h"
#include "Images.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

bool writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file.flush());
}

bool makeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        std::fprintf(stderr, "artgen: cannot make %s: %s\n", folder.c_str(),
                     error.message().c_str());
    return !error;
}

int writeIcons(const std::filesystem::path& folder) {
    if (!makeFolder(folder)) return 1;
    if (artgen::writeIcons(folder)) return 0;
    std::fprintf(stderr, "artgen: cannot write the icons into %s\n", folder.c_str());
    return 1;
}

int writeData(const std::filesystem::path& folder, const artgen::Typefaces& type) {
    if (!makeFolder(folder)) return 1;
    for (const auto& spec : artgen::imageSpecs())
        if (!artgen::render(spec, type)->savePng((folder / spec.file).string(), spec.form)) {
            std::fprintf(stderr, "artgen: cannot write %s\n", (folder / spec.file).c_str());
            return 1;
        }
    const std::pair<const char*, artgen::XMesh> meshes[] = {{"core1.x", artgen::plainCrystal()},
                                                            {"core2.x", artgen::coreCrystal()}};
    for (const auto& [file, mesh] : meshes)
        if (!writeText(folder / file, artgen::writeXFile(mesh, "Crystal"))) {
            std::fprintf(stderr, "artgen: cannot write %s\n", (folder / file).c_str());
            return 1;
        }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const artgen::Typefaces type;
        if (argc == 3 && std::string(argv[1]) == "--sheet") {
            if (artgen::writeContactSheet(argv[2], type)) return 0;
            std::fprintf(stderr, "artgen: cannot write %s\n", argv[2]);
            return 1;
        }
        if (argc == 3 && std::string(argv[1]) == "--icons") return writeIcons(argv[2]);
        if (argc == 2 && argv[1][0] != '-') return writeData(argv[1], type);
        std::fprintf(stderr,
                     "usage: artgen FOLDER | artgen --sheet FILE.png | artgen --icons FOLDER\n");
        return 2;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "artgen: %s\n", failure.what());
        return 1;
    }
}
