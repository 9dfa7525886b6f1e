#pragma once

namespace d3d9 {

// Hands the run's sink the frame still on its way back from every device: the host asks for it
// when the show has ended, while the devices (which go at exit) still hold it.
void flushCapturedFrames();

} // namespace d3d9
