#include "FrameReadback.h"

#include "GLContext.h"
#include "GLProfile.h"
#include "Win32Internal.h"
#include "core/RunMode.h"

#include <algorithm>
#include <vector>

namespace d3d9 {
namespace {

// Never destroyed: devices still alive at exit go after every function's statics.
std::vector<FrameReadback*>& live() {
    static auto* readbacks = new std::vector<FrameReadback*>;
    return *readbacks;
}

} // namespace

FrameReadback::FrameReadback() {
    live().push_back(this);
}

FrameReadback::~FrameReadback() {
    auto& readbacks = live();
    readbacks.erase(std::find(readbacks.begin(), readbacks.end(), this));
}

void flushCapturedFrames() {
    for (FrameReadback* readback : live())
        readback->flush();
}

void FrameReadback::capture(GLuint framebuffer, int width, int height) {
    if (sinkDone_ || !platform::runMode().sink) return;
    if (!glProfile().mappedReads) { // read at once: the frame waits for its drawing
        readFramebuffer(framebuffer, width, height, GL_RGB, readAtOnce_);
        pendingWidth_ = width, pendingHeight_ = height;
        if (!wantsMore(readAtOnce_.data())) stop();
        return;
    }
    if (!pixelBuffers_[0]) glGenBuffers(2, pixelBuffers_);
    const GLuint target = pixelBuffers_[nextPixelBuffer_];
    glBindBuffer(GL_PIXEL_PACK_BUFFER, target);
    const auto bytes = static_cast<GLsizeiptr>(width) * height * 3;
    if (pixelBufferBytes_[nextPixelBuffer_] != bytes) { // fresh storage faults in every page
        glBufferData(GL_PIXEL_PACK_BUFFER, bytes, nullptr, GL_STREAM_READ);
        pixelBufferBytes_[nextPixelBuffer_] = bytes;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    flush(); // the frame before, read while this one was drawn
    framePending_ = true;
    pendingWidth_ = width, pendingHeight_ = height;
    nextPixelBuffer_ ^= 1;
}

void FrameReadback::flush() {
    if (!framePending_) return;
    framePending_ = false;
    if (sinkDone_ || !platform::runMode().sink) return;
    glBindBuffer(GL_PIXEL_PACK_BUFFER, pixelBuffers_[nextPixelBuffer_ ^ 1]);
    const auto* pixels = static_cast<const unsigned char*>(glMapBufferRange(
        GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(pendingWidth_) * pendingHeight_ * 3,
        GL_MAP_READ_BIT));
    const bool more = pixels && wantsMore(pixels);
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    if (!more) stop();
}

void FrameReadback::destroy() {
    flush();
    if (pixelBuffers_[0]) glDeleteBuffers(2, pixelBuffers_);
    pixelBuffers_[0] = pixelBuffers_[1] = 0;
}

bool FrameReadback::wantsMore(const unsigned char* rgb) {
    return platform::runMode().sink->frame(rgb, pendingWidth_, pendingHeight_);
}

void FrameReadback::stop() {
    sinkDone_ = true;
    platform::closeAllWindows();
}

} // namespace d3d9
