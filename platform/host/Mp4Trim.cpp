#include "Mp4Trim.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace host {
namespace {

struct Box {
    std::uint64_t size = 0;
    std::string type;
};

std::uint64_t bigEndian(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

// The top-level box at the stream's position, or none where its header is cut short. A size of
// 0 (to the end of the file) never ends a fragment, so it reads as too long.
bool readBox(std::ifstream& in, std::uint64_t fileSize, Box& box) {
    unsigned char header[16];
    if (!in.read(reinterpret_cast<char*>(header), 8)) return false;
    box.type.assign(reinterpret_cast<const char*>(header) + 4, 4);
    box.size = bigEndian(header, 4);
    if (box.size == 1) {
        if (!in.read(reinterpret_cast<char*>(header) + 8, 8)) return false;
        box.size = bigEndian(header + 8, 8);
    } else if (box.size == 0) {
        box.size = fileSize + 1;
    }
    return box.size >= 8;
}

} // namespace

int trimToWholeFragments(const std::string& path) {
    std::error_code ec;
    const std::uint64_t fileSize = std::filesystem::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in) return -1;
    std::uint64_t at = 0, wholeEnd = 0, fragmentStart = 0;
    bool header = false, inFragment = false;
    int fragments = 0;
    Box box;
    while (at < fileSize && in.seekg(static_cast<std::streamoff>(at)) &&
           readBox(in, fileSize, box) && box.size <= fileSize - at) {
        const std::uint64_t end = at + box.size;
        if (box.type == "moof") {
            inFragment = true;
            fragmentStart = at;
        } else if (box.type == "mdat" && inFragment) {
            inFragment = false;
            ++fragments;
            wholeEnd = end;
        } else if (!inFragment) {
            header = header || box.type == "moov";
            wholeEnd = end;
        }
        at = end;
    }
    in.close();
    if (inFragment) wholeEnd = fragmentStart;
    if (wholeEnd < fileSize) {
        std::filesystem::resize_file(path, wholeEnd, ec);
        if (ec) return -1;
    }
    return header ? fragments : 0;
}

} // namespace host
