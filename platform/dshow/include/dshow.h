#pragma once
// COM start-up and the DirectShow filter graph: one audio file played through SDL_mixer.
// Files are recognised by their content (MP3, OGG, WAV), not by their name.
#include "unknwn.h"

using REFTIME = double;
using BSTR = WCHAR*;

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
constexpr HRESULT VFW_E_NOT_FOUND = static_cast<HRESULT>(0x80040216);
constexpr HRESULT VFW_E_UNSUPPORTED_STREAM = static_cast<HRESULT>(0x80040265);
constexpr HRESULT VFW_E_WRONG_STATE = static_cast<HRESULT>(0x80040227);

extern const CLSID CLSID_FilterGraph;
extern const IID IID_IGraphBuilder;
extern const IID IID_IMediaControl;
extern const IID IID_IMediaPosition;
extern const IID IID_IUnknown;

struct IGraphBuilder : IUnknown {
    virtual HRESULT RenderFile(LPCWSTR file, LPCWSTR playList) = 0;
};

struct IMediaControl : IUnknown {
    virtual HRESULT Run() = 0;
    virtual HRESULT Stop() = 0;
};

struct IMediaPosition : IUnknown {
    virtual HRESULT put_CurrentPosition(REFTIME seconds) = 0;
};

HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, LPVOID* out);
