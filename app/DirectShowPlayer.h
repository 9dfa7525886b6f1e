#pragma once
#include "dshow.h"

// Plays one audio file through a DirectShow filter graph.
class DirectShowPlayer {
  public:
    DirectShowPlayer() = default;
    DirectShowPlayer(const DirectShowPlayer&) = delete;
    DirectShowPlayer& operator=(const DirectShowPlayer&) = delete;

    virtual void open(const char* fileName);
    virtual HRESULT play();
    virtual HRESULT stop();
    virtual HRESULT seek(double seconds);
    virtual ~DirectShowPlayer();

  private:
    IGraphBuilder* graph = nullptr;
    IMediaControl* control = nullptr;
    IMediaPosition* position = nullptr;
    int comInitialized = 0;
};
