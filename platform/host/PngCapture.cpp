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
    if (!stbi_write_png(path.c_str(), width, height, 3, rgb, width * 3)) {
        failure_ = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    ++written_;
    progress_.frameDone();
    return lastFrame_ < 0 || index + every_ <= lastFrame_;
}

} // namespace host
