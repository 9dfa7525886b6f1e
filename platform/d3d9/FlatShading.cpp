#include "FlatShading.h"

namespace d3d9 {

FlatPrimitives flatPrimitives(D3DPRIMITIVETYPE type, UINT primitives,
                              const std::function<std::uint32_t(UINT)>& vertexAt) {
    FlatPrimitives out;
    auto put = [&](UINT a, UINT b, UINT c) {
        out.indices.insert(out.indices.end(), {vertexAt(a), vertexAt(b), vertexAt(c)});
    };
    switch (type) {
    case D3DPT_LINELIST:
    case D3DPT_LINESTRIP:
        out.lines = true;
        for (UINT i = 0; i < primitives; ++i) {
            const UINT first = type == D3DPT_LINELIST ? 2 * i : i;
            out.indices.insert(out.indices.end(), {vertexAt(first + 1), vertexAt(first)});
        }
        break;
    case D3DPT_TRIANGLELIST:
        for (UINT i = 0; i < primitives; ++i)
            put(3 * i + 1, 3 * i + 2, 3 * i); // (a, b, c) turned to (b, c, a)
        break;
    case D3DPT_TRIANGLESTRIP:
        // Triangle i is (i, i+1, i+2), every other one wound backwards: (i+1, i, i+2).
        for (UINT i = 0; i < primitives; ++i)
            i % 2 == 0 ? put(i + 1, i + 2, i) : put(i + 2, i + 1, i);
        break;
    case D3DPT_TRIANGLEFAN:
        // Triangle i is (0, i+1, i+2), its colour from i+1 as with the first-vertex convention.
        for (UINT i = 0; i < primitives; ++i)
            put(i + 2, 0, i + 1);
        break;
    default:
        break;
    }
    return out;
}

} // namespace d3d9
