#include "Mp4Trim.h"
#include "support/Process.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

// A top-level box: a 32-bit big-endian size, its type, then bodySize bytes.
std::string box(const char* type, std::uint32_t bodySize) {
    const std::uint32_t size = bodySize + 8;
    std::string bytes = {static_cast<char>(size >> 24), static_cast<char>(size >> 16),
                         static_cast<char>(size >> 8), static_cast<char>(size)};
    return bytes + type + std::string(bodySize, 'x');
}

// The same with a 64-bit size after the type (a size field of 1).
std::string largeBox(const char* type, std::uint32_t bodySize) {
    const std::uint64_t size = bodySize + 16;
    std::string bytes = {0, 0, 0, 1};
    bytes += type;
    for (int shift = 56; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<char>(size >> shift));
    return bytes + std::string(bodySize, 'x');
}

struct Trimmed {
    int fragments;
    std::uintmax_t size;
};

Trimmed trim(const std::string& bytes) {
    const std::string path = test::makeTempFolder() + "/cut.mp4";
    std::ofstream(path, std::ios::binary) << bytes;
    const int fragments = host::trimToWholeFragments(path);
    return {fragments, std::filesystem::file_size(path)};
}

const std::string header = box("ftyp", 20) + box("moov", 100); // 28 + 108 bytes

} // namespace

TEST(Mp4Trim, AFileCutShortEndsAtItsLastWholeFragment) {
    const std::string fragment = box("moof", 40) + box("mdat", 1000); // 48 + 1008 bytes
    struct Case {
        const char* what;
        std::string bytes;
        Trimmed expected;
    } cases[] = {
        {"whole, two fragments", header + fragment + fragment, {2, 136 + 2 * 1056}},
        {"the second fragment's data cut", header + fragment + fragment.substr(0, 500),
         {1, 136 + 1056}},
        {"the second fragment's header alone", header + fragment + box("moof", 40),
         {1, 136 + 1056}},
        {"a box header cut after four bytes", header + fragment + fragment.substr(0, 4),
         {1, 136 + 1056}},
        {"only the header", header, {0, 136}},
        {"the first fragment cut", header + fragment.substr(0, 100), {0, 136}},
        {"no header at all", fragment, {0, 1056}},
        {"64-bit sizes", header + box("moof", 40) + largeBox("mdat", 1000), {1, 136 + 48 + 1016}},
        {"a last box that runs to the end of the file",
         header + fragment + std::string("\0\0\0\0mdat", 8) + "xxxx", {1, 136 + 1056}},
        {"a size smaller than a box header", header + fragment + std::string("\0\0\0\4moof", 8),
         {1, 136 + 1056}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Trimmed t = trim(c.bytes);
        EXPECT_EQ(t.fragments, c.expected.fragments);
        EXPECT_EQ(t.size, c.expected.size);
    }
}

TEST(Mp4Trim, AMissingFileIsReportedNotMade) {
    const std::string path = test::makeTempFolder() + "/none.mp4";
    EXPECT_EQ(host::trimToWholeFragments(path), -1);
    EXPECT_FALSE(std::filesystem::exists(path));
}
