#pragma once
#include "gfx/RenderTarget.h"

class GraphicsDevice;

// Shows the sharp picture with a soft copy added over it: shrunk to 1/divisor and stretched
// back five times through targets a and b, shifted to centre the smear. Expects blending off;
// leaves the additive preset selected and smooth filtering on.
void drawGlow(GraphicsDevice& graphics, RenderTarget& sharp, RenderTarget& a, RenderTarget& b,
              float divisor);
