#include "StreamBuffer.h"

#include "GLStateCache.h"

namespace d3d9 {

void StreamBuffer::create(GLStateCache& cache, std::size_t capacity) {
    glGenBuffers(1, &buffer_);
    cache.bindArrayBuffer(buffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity), nullptr, GL_STREAM_DRAW);
    capacity_ = capacity;
    head_ = 0;
}

void StreamBuffer::destroy() {
    if (buffer_) glDeleteBuffers(1, &buffer_);
    buffer_ = 0;
}

std::size_t StreamBuffer::write(GLStateCache& cache, const void* data, std::size_t bytes) {
    cache.bindArrayBuffer(buffer_);
    if (bytes > capacity_) { // a draw larger than the ring gets storage of its own size
        capacity_ = bytes;
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity_), nullptr, GL_STREAM_DRAW);
        head_ = 0;
    } else if (head_ + bytes > capacity_) {
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity_), nullptr, GL_STREAM_DRAW);
        head_ = 0;
    }
    const std::size_t offset = head_;
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes),
                    data);
    head_ = (offset + bytes + 15) & ~std::size_t{15};
    return offset;
}

} // namespace d3d9
