#include "FilterGraph.h"

#include "AudioOutput.h"
#include "core/Clock.h"
#include "core/Paths.h"
#include "core/RunMode.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <string>

namespace dshow {
namespace {

std::string utf8Of(LPCWSTR wide) {
    std::string out;
    for (; *wide; ++wide) {
        char32_t c = *wide;
        if (c >= 0xD800 && c < 0xDC00 && wide[1] >= 0xDC00 && wide[1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (*++wide - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

HRESULT FilterGraph::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IGraphBuilder || riid == IID_IUnknown)
        *object = static_cast<IGraphBuilder*>(this);
    else if (riid == IID_IMediaControl)
        *object = static_cast<IMediaControl*>(this);
    else if (riid == IID_IMediaPosition)
        *object = static_cast<IMediaPosition*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG FilterGraph::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

FilterGraph::~FilterGraph() {
    if (music_) {
        Mix_HaltMusic();
        Mix_FreeMusic(music_);
    }
}

HRESULT FilterGraph::RenderFile(LPCWSTR file, LPCWSTR) {
    if (!file) return E_POINTER;
    if (music_) return VFW_E_WRONG_STATE;
    const std::string path = platform::nativePath(utf8Of(file));
    SDL_RWops* stream = SDL_RWFromFile(path.c_str(), "rb");
    if (!stream) return VFW_E_NOT_FOUND;
    if (!openAudioOutput()) {
        SDL_RWclose(stream);
        return E_FAIL;
    }
    music_ = Mix_LoadMUS_RW(stream, 1); // the decoder is chosen by the file's content
    if (!music_) return VFW_E_UNSUPPORTED_STREAM;
    path_ = path;
    return S_OK;
}

HRESULT FilterGraph::Run() {
    if (music_ && !Mix_PlayingMusic()) {
        Mix_PlayMusic(music_, 1);
        auto& mode = platform::runMode();
        mode.musicFile = path_;
        // The bar clock starts from the same whole millisecond.
        mode.musicStartMs = static_cast<double>(platform::Clock::instance().now());
    }
    return S_OK;
}

HRESULT FilterGraph::Stop() {
    if (music_) Mix_HaltMusic();
    return S_OK;
}

HRESULT FilterGraph::put_CurrentPosition(REFTIME seconds) {
    if (!music_) return S_OK;
    return Mix_SetMusicPosition(seconds) == 0 ? S_OK : E_FAIL;
}

} // namespace dshow
