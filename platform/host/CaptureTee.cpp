#include "CaptureTee.h"

namespace host {

CaptureTee::CaptureTee(std::vector<platform::FrameSink*> sinks)
    : sinks_(std::move(sinks)), wanting_(sinks_.size(), true) {}

bool CaptureTee::frame(const unsigned char* rgb, int width, int height) {
    bool more = false;
    for (std::size_t i = 0; i < sinks_.size(); ++i) {
        if (wanting_[i]) wanting_[i] = sinks_[i]->frame(rgb, width, height);
        more = more || wanting_[i];
    }
    return more;
}

} // namespace host
