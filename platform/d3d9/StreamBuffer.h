#pragma once
// One vertex buffer that every draw from memory streams through: a ring that orphans its
// storage when full, never a new buffer per draw.
#include "GLApi.h"
#include <cstddef>

namespace d3d9 {

class GLStateCache;

class StreamBuffer {
  public:
    void create(GLStateCache& cache, std::size_t capacity);
    void destroy();
    // Copies bytes in and returns their offset within the buffer.
    std::size_t write(GLStateCache& cache, const void* data, std::size_t bytes);
    GLuint name() const { return buffer_; }

  private:
    GLuint buffer_ = 0;
    std::size_t capacity_ = 0;
    std::size_t head_ = 0;
};

} // namespace d3d9
