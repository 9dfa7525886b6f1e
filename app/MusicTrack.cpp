#include "app/MusicTrack.h"

#include "mmsystem.h"

void MusicTrack::open(const char* fileName) {
    player.open(fileName);
}

void MusicTrack::setBpm(int beatsPerMinute) {
    bpm = beatsPerMinute;
}

int MusicTrack::getBeat() {
    // Unsigned difference: correct across the timer's 49.7-day wrap. Multiplied in double so
    // the product never wraps either.
    const std::uint32_t elapsed = timeGetTime() - startTime;
    constexpr float perMinute = 1.0f / 60000.0f; // 1.6666666851961054e-05
    return static_cast<int>(static_cast<double>(elapsed) * bpm * static_cast<double>(perMinute));
}

HRESULT MusicTrack::seek(double seconds) {
    return player.seek(seconds);
}

int MusicTrack::getBar() {
    return getBeat() / 4;
}

HRESULT MusicTrack::play() {
    startTime = timeGetTime();
    return player.play();
}

HRESULT MusicTrack::stop() {
    return player.stop();
}
