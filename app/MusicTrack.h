#pragma once
#include "app/DirectShowPlayer.h"

#include <cstdint>

// The music and its clock: whole beats and bars of wall-clock time since play.
class MusicTrack {
  public:
    virtual void open(const char* fileName);
    virtual void setBpm(int beatsPerMinute);
    virtual int getBeat();
    virtual HRESULT seek(double seconds);
    virtual int getBar();
    virtual HRESULT play();
    virtual HRESULT stop();
    virtual ~MusicTrack() = default;

  private:
    DirectShowPlayer player;
    std::uint32_t startTime = 0;
    int bpm = 0;
};
