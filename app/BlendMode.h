#pragma once

// The device's blend presets, numbered as the show has always numbered them.
enum class BlendMode : int {
    Off = 1,               // blending off: the source replaces the target
    Alpha = 2,             // source alpha over the target
    Additive = 3,          // one, one: black adds nothing
    Multiply = 4,          // the target scaled by the source colour
    Premultiplied = 5,     // one, inverse source alpha
    Inverting = 6,         // inverse target colour, inverse source alpha
    TexturePlusColour = 7, // stage 0 adds the tint to the texture, alpha blended
};
