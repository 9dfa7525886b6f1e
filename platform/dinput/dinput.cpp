#include "dinput.h"

#include "ComObject.h"
#include "Win32Internal.h"

#include <SDL2/SDL.h>
#include <cstring>

const DIDATAFORMAT c_dfDIKeyboard = {24, 16, 2, 256};
const GUID IID_IDirectInput8A = {
    0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
const GUID GUID_SysKeyboard = {
    0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

// DirectInput key codes are the PC set-1 scan codes; SDL's scancodes follow USB usage ids.
int scanCodeOf(SDL_Scancode code) {
    static const struct {
        SDL_Scancode sdl;
        int dik;
    } table[] = {
        {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_1, 0x02},      {SDL_SCANCODE_2, 0x03},
        {SDL_SCANCODE_3, 0x04},      {SDL_SCANCODE_4, 0x05},      {SDL_SCANCODE_5, 0x06},
        {SDL_SCANCODE_6, 0x07},      {SDL_SCANCODE_7, 0x08},      {SDL_SCANCODE_8, 0x09},
        {SDL_SCANCODE_9, 0x0A},      {SDL_SCANCODE_0, 0x0B},      {SDL_SCANCODE_BACKSPACE, 0x0E},
        {SDL_SCANCODE_TAB, 0x0F},    {SDL_SCANCODE_Q, 0x10},      {SDL_SCANCODE_W, 0x11},
        {SDL_SCANCODE_E, 0x12},      {SDL_SCANCODE_R, 0x13},      {SDL_SCANCODE_T, 0x14},
        {SDL_SCANCODE_Y, 0x15},      {SDL_SCANCODE_U, 0x16},      {SDL_SCANCODE_I, 0x17},
        {SDL_SCANCODE_O, 0x18},      {SDL_SCANCODE_P, 0x19},      {SDL_SCANCODE_RETURN, 0x1C},
        {SDL_SCANCODE_LCTRL, 0x1D},  {SDL_SCANCODE_A, 0x1E},      {SDL_SCANCODE_S, 0x1F},
        {SDL_SCANCODE_D, 0x20},      {SDL_SCANCODE_F, 0x21},      {SDL_SCANCODE_G, 0x22},
        {SDL_SCANCODE_H, 0x23},      {SDL_SCANCODE_J, 0x24},      {SDL_SCANCODE_K, 0x25},
        {SDL_SCANCODE_L, 0x26},      {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_Z, 0x2C},
        {SDL_SCANCODE_X, 0x2D},      {SDL_SCANCODE_C, 0x2E},      {SDL_SCANCODE_V, 0x2F},
        {SDL_SCANCODE_B, 0x30},      {SDL_SCANCODE_N, 0x31},      {SDL_SCANCODE_M, 0x32},
        {SDL_SCANCODE_RSHIFT, 0x36}, {SDL_SCANCODE_LALT, 0x38},   {SDL_SCANCODE_SPACE, 0x39},
        {SDL_SCANCODE_F1, 0x3B},     {SDL_SCANCODE_F2, 0x3C},     {SDL_SCANCODE_F3, 0x3D},
        {SDL_SCANCODE_F4, 0x3E},     {SDL_SCANCODE_F5, 0x3F},     {SDL_SCANCODE_F6, 0x40},
        {SDL_SCANCODE_F7, 0x41},     {SDL_SCANCODE_F8, 0x42},     {SDL_SCANCODE_F9, 0x43},
        {SDL_SCANCODE_F10, 0x44},    {SDL_SCANCODE_UP, 0xC8},     {SDL_SCANCODE_LEFT, 0xCB},
        {SDL_SCANCODE_RIGHT, 0xCD},  {SDL_SCANCODE_DOWN, 0xD0},
    };
    for (const auto& entry : table)
        if (entry.sdl == code) return entry.dik;
    return -1;
}

class Keyboard final : public platform::ComObject<IDirectInputDevice8A> {
  public:
    HRESULT SetDataFormat(const DIDATAFORMAT* format) override {
        if (!format || format->dwDataSize != 256) return DIERR_INVALIDPARAM;
        formatSet_ = true;
        return DI_OK;
    }
    HRESULT SetCooperativeLevel(HWND, DWORD) override { return DI_OK; }
    HRESULT Acquire() override {
        if (!formatSet_) return DIERR_INVALIDPARAM;
        acquired_ = true;
        return DI_OK;
    }
    HRESULT Unacquire() override {
        acquired_ = false;
        return DI_OK;
    }
    HRESULT GetDeviceState(DWORD size, LPVOID data) override {
        if (!data || size != 256) return DIERR_INVALIDPARAM;
        auto* bytes = static_cast<unsigned char*>(data);
        std::memset(bytes, 0, 256);
        if (!acquired_) return DIERR_NOTACQUIRED;
        if (!SDL_WasInit(SDL_INIT_VIDEO)) return DI_OK;
        SDL_PumpEvents();
        int count = 0;
        const Uint8* keys = SDL_GetKeyboardState(&count);
        for (int i = 0; i < count; ++i)
            if (keys[i])
                if (int dik = scanCodeOf(static_cast<SDL_Scancode>(i)); dik >= 0) bytes[dik] = 0x80;
        return DI_OK;
    }

  private:
    bool formatSet_ = false;
    bool acquired_ = false;
};

class DirectInput final : public platform::ComObject<IDirectInput8A> {
  public:
    HRESULT CreateDevice(REFGUID guid, IDirectInputDevice8A** device, IUnknown*) override {
        if (!device) return DIERR_INVALIDPARAM;
        *device = nullptr;
        if (!(guid == GUID_SysKeyboard)) return DIERR_INVALIDPARAM;
        *device = new Keyboard();
        return DI_OK;
    }
};

} // namespace

HRESULT DirectInput8Create(HINSTANCE, DWORD version, REFIID riid, LPVOID* out, IUnknown*) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (version != DIRECTINPUT_VERSION || !(riid == IID_IDirectInput8A)) return DIERR_INVALIDPARAM;
    *out = static_cast<IDirectInput8A*>(new DirectInput());
    return DI_OK;
}
