#pragma once
#include "gfx/Camera.h"
#include "gfx/Light.h"

class GraphicsDevice;

// The perspective every 3D scene of the show looks through: 60 degrees over the whole device,
// from 0.01 to 1000 units.
void setUpCamera(Camera& camera, GraphicsDevice& graphics);

// A white directional light, diffuse and specular, shining along (x, y, z).
void setUpWhiteLight(Light& light, IDirect3DDevice9* device, float x, float y, float z);
