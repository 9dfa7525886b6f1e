#pragma once
#include "dshow.h"

#include <atomic>
#include <string>

struct _Mix_Music;

namespace dshow {

// A graph holding at most one rendered file.
class FilterGraph final : public IGraphBuilder, public IMediaControl, public IMediaPosition {
  public:
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;

    HRESULT RenderFile(LPCWSTR file, LPCWSTR playList) override;
    HRESULT Run() override;
    HRESULT Stop() override;
    HRESULT put_CurrentPosition(REFTIME seconds) override;

  private:
    ~FilterGraph() override;
    std::atomic<ULONG> references_{1};
    _Mix_Music* music_ = nullptr;
    std::string path_;
};

} // namespace dshow
