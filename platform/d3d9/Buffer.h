#pragma once
// A vertex or index buffer: a copy in memory that Lock hands out, uploaded to OpenGL on
// Unlock. A discarding lock orphans the OpenGL storage, so a buffer rewritten every frame never
// waits for the frame before.
#include "DeviceResource.h"

#include "GLApi.h"
#include <atomic>
#include <vector>

namespace d3d9 {

class Device;

class Buffer {
  public:
    Buffer(Device& device, GLenum target, UINT length, DWORD usage, D3DPOOL pool);
    ~Buffer();
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    HRESULT lock(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT unlock();
    GLuint glName() const { return name_; }
    UINT length() const { return static_cast<UINT>(memory_.size()); }
    const unsigned char* data() const { return memory_.data(); }
    DWORD usage() const { return usage_; }
    D3DPOOL pool() const { return pool_; }

  private:
    Device& device_;
    GLenum target_;
    DWORD usage_;
    D3DPOOL pool_;
    GLuint name_ = 0;
    std::vector<unsigned char> memory_;
    bool locked_ = false;
    bool discard_ = false;
    UINT lockedOffset_ = 0, lockedSize_ = 0;
};

class VertexBuffer final : public DeviceResource<IDirect3DVertexBuffer9> {
  public:
    VertexBuffer(Device& device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override {
        return buffer_.lock(offset, size, data, flags);
    }
    HRESULT Unlock() override { return buffer_.unlock(); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* description) override;
    const Buffer& buffer() const { return buffer_; }

  private:
    ~VertexBuffer() override;
    Device& device_;
    Buffer buffer_;
    DWORD fvf_;
};

class IndexBuffer final : public DeviceResource<IDirect3DIndexBuffer9> {
  public:
    IndexBuffer(Device& device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override {
        return buffer_.lock(offset, size, data, flags);
    }
    HRESULT Unlock() override { return buffer_.unlock(); }
    const Buffer& buffer() const { return buffer_; }
    D3DFORMAT format() const { return format_; }

  private:
    ~IndexBuffer() override;
    Device& device_;
    Buffer buffer_;
    D3DFORMAT format_;
};

} // namespace d3d9
