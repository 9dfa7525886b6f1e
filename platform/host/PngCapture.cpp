#include "PngCapture.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace host {
namespace {

// The whole file or none of it: a write the disk refuses (full, gone) removes what it began,
// so no frame is left cut short; the reason goes to error.
bool writeWhole(const std::string& path, const unsigned char* bytes, int length,
                std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes, 1, static_cast<std::size_t>(length), file) ==
                             static_cast<std::size_t>(length) &&
                         std::fflush(file) == 0;
    const int reason = errno;
    if (std::fclose(file) == 0 && written) return true;
    error = "cannot write '" + path + "': " + std::strerror(written ? errno : reason);
    std::remove(path.c_str());
    return false;
}

} // namespace

PngCapture::PngCapture(std::string folder, int fps, int firstFrame, int lastFrame, int every,
                       bool showProgress)
    : folder_(std::move(folder)), fps_(fps), firstFrame_(firstFrame), lastFrame_(lastFrame),
      every_(every),
      progress_(lastFrame >= 0 ? (lastFrame - firstFrame) / every + 1 : -1, fps, showProgress) {
    // Encoding dominates a capture; a light setting costs a little size, not a third of the time.
    stbi_write_png_compression_level = 3;
}

bool PngCapture::prepare(std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec || !std::filesystem::is_directory(folder_)) {
        error = "cannot make the capture folder '" + folder_ +
                "': " + (ec ? ec.message() : std::string("not a folder"));
        return false;
    }
    return true;
}

bool PngCapture::frame(const unsigned char* rgb, int width, int height) {
    const int index = next_++;
    // Frames not written are drawn all the same: drawing consumes random numbers.
    if (index < firstFrame_ || (index - firstFrame_) % every_ != 0) return true;
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05d.png", index);
    const std::string path = (std::filesystem::path(folder_) / name).string();
    int length = 0;
    unsigned char* png = stbi_write_png_to_mem(rgb, width * 3, width, height, 3, &length);
    if (!png) {
        failure_ = "cannot encode '" + path + "': out of memory";
        return false;
    }
    const bool whole = writeWhole(path, png, length, failure_);
    STBIW_FREE(png);
    if (!whole) return false;
    ++written_;
    progress_.frameDone();
    return lastFrame_ < 0 || index + every_ <= lastFrame_;
}

} // namespace host
