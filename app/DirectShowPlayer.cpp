#include "app/DirectShowPlayer.h"

#include <vector>

void DirectShowPlayer::open(const char* fileName) {
    // Sized from the name itself: a long path is never cut to a fixed buffer.
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, fileName, -1, nullptr, 0);
    std::vector<WCHAR> widePath(static_cast<std::size_t>(wideLength > 0 ? wideLength : 1), 0);
    if (wideLength > 0) MultiByteToWideChar(CP_ACP, 0, fileName, -1, widePath.data(), wideLength);

    if (FAILED(CoInitialize(nullptr))) {
        MessageBoxA(nullptr, "COMライブラリ初期化失敗", "Error", MB_ICONERROR);
        return;
    }
    comInitialized = 1;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr,
                                CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph))))
        return;
    graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
    graph->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&position));
    if (FAILED(graph->RenderFile(widePath.data(), nullptr)))
        MessageBoxA(nullptr, "ファイル読み込み失敗", "Error", MB_ICONERROR);
}

HRESULT DirectShowPlayer::play() {
    return control ? control->Run() : E_POINTER;
}

HRESULT DirectShowPlayer::stop() {
    return control ? control->Stop() : E_POINTER;
}

HRESULT DirectShowPlayer::seek(double seconds) {
    return position ? position->put_CurrentPosition(seconds) : E_POINTER;
}

DirectShowPlayer::~DirectShowPlayer() {
    if (control) control->Stop();
    if (control) {
        control->Release();
        control = nullptr;
    }
    if (graph) {
        graph->Release();
        graph = nullptr;
    }
    if (position) {
        position->Release();
        position = nullptr;
    }
    if (comInitialized == 1) CoUninitialize();
}
