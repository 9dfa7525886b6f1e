#pragma once
#include "CapturedFrames.h"
#include "GLApi.h"

#include <vector>

namespace d3d9 {

// Presented frames on their way out of the device to the run's frame sink, at the back
// buffer's stored size. Frames come back through two pixel buffers: each present reads into one
// and hands the sink the frame before from the other, so the renderer never waits on a read.
// When the sink wants no more, every window is closed and the show ends.
class FrameReadback {
  public:
    FrameReadback();
    ~FrameReadback();
    FrameReadback(const FrameReadback&) = delete;
    FrameReadback& operator=(const FrameReadback&) = delete;

    void capture(GLuint framebuffer, int width, int height);
    // Hands over the frame still on its way back, if any.
    void flush();
    // Before the context goes: the last frame is delivered first.
    void destroy();

  private:
    bool wantsMore(const unsigned char* rgb);
    void stop();

    GLuint pixelBuffers_[2] = {};
    GLsizeiptr pixelBufferBytes_[2] = {};
    int nextPixelBuffer_ = 0;
    bool framePending_ = false;
    bool sinkDone_ = false;
    int pendingWidth_ = 0, pendingHeight_ = 0;
    std::vector<unsigned char> readAtOnce_; // where buffers cannot be mapped
};

} // namespace d3d9
