#pragma once
#include <cstddef>
#include <vector>

namespace soundtrack {

// Two channels of float samples.
struct Stereo {
    std::vector<float> left, right;

    explicit Stereo(std::size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}
    std::size_t frames() const { return left.size(); }
    // Adds at a frame, ignoring anything past the end.
    void add(std::size_t frame, double l, double r) {
        if (frame >= left.size()) return;
        left[frame] += static_cast<float>(l);
        right[frame] += static_cast<float>(r);
    }
};

} // namespace soundtrack
