#pragma once
// A mip chain in OpenGL. Managed textures keep a copy in memory that LockRect hands out and
// UnlockRect uploads; render targets live only in OpenGL.
#include "DeviceResource.h"
#include "InkTrim.h"
#include "Surface.h"
#include "TexelGrid.h"

#include <memory>
#include <optional>
#include <vector>

namespace d3d9 {

class Texture final : public DeviceResource<IDirect3DTexture9> {
  public:
    Texture(Device& device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
            D3DPOOL pool);
    ~Texture() override;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    bool valid() const { return name_ != 0; }
    GLuint glName() const { return name_; }
    D3DFORMAT format() const { return format_; }
    UINT width() const { return levels_.front().surface->width(); }
    UINT height() const { return levels_.front().surface->height(); }
    const Surface& topLevel() const { return *levels_.front().surface; }
    // Where the top level is not black, known once it was written through a lock.
    const std::optional<InkBounds>& ink() const { return ink_; }

    // A target stored at another scale than 1 keeps its picture on Direct3D's grid as well.
    TexelGrid* grid() const { return grid_.get(); }
    void markDrawn() {
        if (grid_) grid_->markStale();
    }

    DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* description) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

  private:
    struct Level {
        std::unique_ptr<Surface> surface;
        std::vector<std::uint8_t> memory; // B, G, R, A rows, top first (managed only)
        std::vector<std::uint8_t> padded; // what a lock hands out while rows are padded
        bool locked = false;
        bool readOnly = false;
    };

    Device& device_;
    D3DFORMAT format_;
    D3DPOOL pool_;
    GLuint name_ = 0;
    std::vector<Level> levels_;
    std::optional<InkBounds> ink_;
    std::unique_ptr<TexelGrid> grid_;
};

// Drivers may pad locked rows; a test sets extra bytes per row to prove callers use the pitch.
void setLockPitchPadding(UINT bytes);

// Levels of a full chain down to 1 x 1.
UINT fullChainLength(UINT width, UINT height);

} // namespace d3d9
