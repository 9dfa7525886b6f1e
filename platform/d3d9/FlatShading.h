#pragma once
// Flat shading where OpenGL takes each primitive's colour from its last vertex (WebGL 2 offers
// no other choice) while Direct3D takes it from the first: the primitives are drawn as a list
// whose indices are rotated so the first vertex comes last, the winding kept.
#include "d3d9types.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace d3d9 {

struct FlatPrimitives {
    bool lines = false; // GL_LINES, else GL_TRIANGLES
    std::vector<std::uint32_t> indices;
};

// vertexAt(i) is the draw's i-th vertex, as an index into the bound vertices. Points need no
// rotation and return nothing.
FlatPrimitives flatPrimitives(D3DPRIMITIVETYPE type, UINT primitives,
                              const std::function<std::uint32_t(UINT)>& vertexAt);

} // namespace d3d9
