#pragma once
// Reference counting for the device's resources: each keeps the device alive, as on the
// platform, so no resource outlives the OpenGL context its objects belong to.
#include "d3d9.h"

#include <atomic>

namespace d3d9 {

void countResource(int change);

template <class Interface> class DeviceResource : public Interface {
  public:
    HRESULT QueryInterface(REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            IDirect3DDevice9* owner = owner_;
            delete this;
            owner->Release(); // last: the device may go with it
        }
        return left;
    }

  protected:
    explicit DeviceResource(IDirect3DDevice9* owner) : owner_(owner) {
        countResource(1);
        owner_->AddRef();
    }
    ~DeviceResource() override { countResource(-1); }

  private:
    IDirect3DDevice9* owner_;
    std::atomic<ULONG> references_{1};
};

} // namespace d3d9
