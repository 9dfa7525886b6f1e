#pragma once
#include "d3d9types.h"

namespace d3d9 {

// Bytes a vertex of this flexible vertex format takes: position, normal, point size, the two
// colours and two floats per texture coordinate set, in that order.
UINT vertexSize(DWORD fvf);

} // namespace d3d9
