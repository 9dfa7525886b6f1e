#pragma once
// Reference counting as COM keeps it, for stand-in objects that offer one interface.
#include "unknwn.h"

#include <atomic>

namespace platform {

template <class Interface> class ComObject : public Interface {
  public:
    HRESULT QueryInterface(REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

  protected:
    ~ComObject() override = default;

  private:
    std::atomic<ULONG> references_{1};
};

} // namespace platform
