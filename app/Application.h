#pragma once
#include "app/GraphicsDevice.h"
#include "demo/SceneManager.h"

// The device and the sequencer, in the order they are made and torn down (in reverse).
class Application {
  public:
    virtual int init(HWND window, HINSTANCE instance, int width, int height, bool fullScreen);
    virtual int update();
    virtual int draw();
    virtual HWND getWindow();
    virtual ~Application() = default;

  private:
    GraphicsDevice graphics;
    SceneManager sceneManager;
};
