#pragma once
#include "Stereo.h"

namespace soundtrack {

// Integrated loudness in LUFS after ITU-R BS.1770: K-weighted, 400 ms blocks overlapping by
// three quarters, gated at -70 LUFS and 10 LU below the ungated mean.
double integratedLoudness(const Stereo& audio);

} // namespace soundtrack
