#pragma once
#include "XFileWriter.h"

namespace artgen {

// The core: a once-subdivided icosahedron whose every facet rises to a point, flat-shaded,
// in three materials (panel-textured, glowing, metallic).
XMesh coreCrystal();
// Its plain ancestor: the icosahedron, one material.
XMesh plainCrystal();

} // namespace artgen
