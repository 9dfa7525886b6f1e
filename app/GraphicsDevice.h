#pragma once
#include "app/BlendMode.h"
#include "d3d9.h"
#include "dinput.h"

// Owns the Direct3D 9 device and the keyboard; offers the blend presets every scene draws with
// and carries the music bar from the sequencer to the scenes.
class GraphicsDevice {
  public:
    GraphicsDevice() = default;
    GraphicsDevice(const GraphicsDevice&) = delete;
    GraphicsDevice& operator=(const GraphicsDevice&) = delete;

    virtual int init(HWND window, HINSTANCE instance, int width, int height);
    virtual int pollKeyboard();
    virtual int isKeyDown(int key);
    virtual void setMusicBar(const int* bar);
    virtual int getMusicBar();
    virtual int switchToFullScreen();
    virtual void resetTextureStages();
    virtual void setBlendMode(BlendMode preset);
    virtual D3DPRESENT_PARAMETERS* getPresentParameters(D3DPRESENT_PARAMETERS* out);
    virtual IDirect3DDevice9* getDevice();
    virtual HWND getWindow();
    virtual HINSTANCE getInstance();
    virtual int getWidth();
    virtual int getHeight();
    virtual ~GraphicsDevice();

  private:
    int createDevice();
    void createKeyboard();

    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    IDirectInput8A* directInput = nullptr;
    IDirectInputDevice8A* keyboard = nullptr;
    D3DPRESENT_PARAMETERS presentParameters{};
    int width = 0;
    int height = 0;
    HWND window = nullptr;
    HINSTANCE instance = nullptr;
    unsigned char keyState[256] = {};
    int musicBar = 0;
};
