#include "VertexFormat.h"

namespace d3d9 {

UINT vertexSize(DWORD fvf) {
    UINT size = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ:
        size += 12;
        break;
    case D3DFVF_XYZRHW:
        size += 16;
        break;
    default:
        break;
    }
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_PSIZE) size += 4;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    size += 8 * ((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    return size;
}

} // namespace d3d9
