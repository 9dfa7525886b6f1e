#pragma once
#include "Note.h"
#include "Stereo.h"

namespace soundtrack {

// The sounds of the song. Each note is rendered on its own, from its first sample to the end
// of its release, into a track buffer: offline there is no voice limit to steal from.
enum class Instrument {
    Kick,
    HardKick,
    Clap,
    Snare,
    ClosedHat,
    OpenHat,
    Crash,
    Impact,
    Sub,
    Bass,
    Acid,
    Stab,
    Lead,
    Pluck,
    Bell,
    Pad,
    Riser,
    Downlifter,
};

void renderNote(Instrument instrument, const Note& note, Stereo& out);

} // namespace soundtrack
