#pragma once
// DirectInput 8: the system keyboard and its 256-byte state, read from SDL's keyboard.
#include "unknwn.h"

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;
constexpr DWORD DISCL_EXCLUSIVE = 0x00000001;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x00000002;
constexpr DWORD DISCL_FOREGROUND = 0x00000004;
constexpr DWORD DISCL_BACKGROUND = 0x00000008;
constexpr HRESULT DI_OK = S_OK;
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000C);

constexpr int DIK_ESCAPE = 0x01;
constexpr int DIK_RETURN = 0x1C;
constexpr int DIK_SPACE = 0x39;

struct DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize;
};
extern const DIDATAFORMAT c_dfDIKeyboard;

extern const GUID IID_IDirectInput8A;
extern const GUID GUID_SysKeyboard;

struct IDirectInputDevice8A : IUnknown {
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* format) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    virtual HRESULT GetDeviceState(DWORD size, LPVOID data) = 0;
};

struct IDirectInput8A : IUnknown {
    virtual HRESULT CreateDevice(REFGUID guid, IDirectInputDevice8A** device, IUnknown* outer) = 0;
};

using LPDIRECTINPUT8A = IDirectInput8A*;
using LPDIRECTINPUTDEVICE8A = IDirectInputDevice8A*;

HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID riid, LPVOID* out,
                           IUnknown* outer);
