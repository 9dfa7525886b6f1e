#include "AudioOutput.h"
#include "FilterGraph.h"
#include "core/RunMode.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <cstdio>
#include <cstdlib>

const CLSID CLSID_FilterGraph = {
    0xE436EBB3, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const IID IID_IGraphBuilder = {
    0x56A868A9, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const IID IID_IMediaControl = {
    0x56A868B1, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const IID IID_IMediaPosition = {
    0x56A868B2, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace dshow {
namespace {

int comCount = 0;
bool audioOpen = false;

bool tryOpen() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

} // namespace

bool openAudioOutput() {
    if (audioOpen) return true;
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_OGG);
    // A capture makes no sound; its music is muxed from the file instead.
    if (platform::runMode().capture) setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!tryOpen()) {
        std::fprintf(stderr, "lumiflux: no sound device (%s); the music plays silently\n",
                     SDL_GetError());
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (!tryOpen()) return false;
    }
    audioOpen = true;
    return true;
}

void closeAudioOutput() {
    if (!audioOpen) return;
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioOpen = false;
}

} // namespace dshow

HRESULT CoInitialize(LPVOID) {
    return dshow::comCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (dshow::comCount > 0 && --dshow::comCount == 0) dshow::closeAudioOutput();
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD, REFIID riid, LPVOID* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (dshow::comCount == 0) return static_cast<HRESULT>(0x800401F0); // CO_E_NOTINITIALIZED
    if (!(clsid == CLSID_FilterGraph) || outer) return REGDB_E_CLASSNOTREG;
    auto* graph = new dshow::FilterGraph();
    const HRESULT result = graph->QueryInterface(riid, out);
    graph->Release();
    return result;
}
