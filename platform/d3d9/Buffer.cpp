#include "Buffer.h"

#include "Device.h"
#include "Surface.h"

namespace d3d9 {

Buffer::Buffer(Device& device, GLenum target, UINT length, DWORD usage, D3DPOOL pool)
    : device_(device), target_(target), usage_(usage), pool_(pool), memory_(length, 0) {
    glGenBuffers(1, &name_);
    device_.bindBuffer(target_, name_);
    glBufferData(target_, static_cast<GLsizeiptr>(length), memory_.data(),
                 usage & D3DUSAGE_DYNAMIC ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
}

Buffer::~Buffer() {
    device_.deleteBuffer(target_, name_);
}

HRESULT Buffer::lock(UINT offset, UINT size, void** data, DWORD flags) {
    if (!data || locked_ || offset > memory_.size()) return D3DERR_INVALIDCALL;
    if (size == 0) // the whole buffer from offset
        size = static_cast<UINT>(memory_.size()) - offset;
    if (size > memory_.size() - offset) return D3DERR_INVALIDCALL;
    *data = memory_.data() + offset;
    locked_ = true;
    discard_ = (flags & D3DLOCK_DISCARD) != 0 && (usage_ & D3DUSAGE_DYNAMIC);
    lockedOffset_ = offset;
    lockedSize_ = (flags & D3DLOCK_READONLY) ? 0 : size;
    return D3D_OK;
}

HRESULT Buffer::unlock() {
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    if (lockedSize_ == 0) return D3D_OK;
    device_.bindBuffer(target_, name_);
    if (discard_) // orphan: the draws still reading the old storage keep it
        glBufferData(target_, static_cast<GLsizeiptr>(memory_.size()), memory_.data(),
                     GL_DYNAMIC_DRAW);
    else
        glBufferSubData(target_, lockedOffset_, lockedSize_, memory_.data() + lockedOffset_);
    return D3D_OK;
}

VertexBuffer::VertexBuffer(Device& device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : DeviceResource(&device), device_(device),
      buffer_(device, GL_ARRAY_BUFFER, length, usage, pool), fvf_(fvf) {}

VertexBuffer::~VertexBuffer() {
    device_.forgetBuffer(this);
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* description) {
    if (!description) return D3DERR_INVALIDCALL;
    *description = D3DVERTEXBUFFER_DESC{D3DFMT_UNKNOWN, D3DRTYPE_VERTEXBUFFER, buffer_.usage(),
                                        buffer_.pool(), buffer_.length(),      fvf_};
    return D3D_OK;
}

IndexBuffer::IndexBuffer(Device& device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : DeviceResource(&device), device_(device),
      buffer_(device, GL_ELEMENT_ARRAY_BUFFER, length, usage, pool), format_(format) {}

IndexBuffer::~IndexBuffer() {
    device_.forgetBuffer(this);
}

} // namespace d3d9
