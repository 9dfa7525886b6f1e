// Feeds arbitrary bytes to the image decoder and the resizing a texture load does after it:
// a picture is refused or made, never read or written out of bounds.
#include "Picture.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    d3dx9::Picture picture;
    int channels = 0;
    // Smaller pictures than the loader allows keep the runs quick; the checks are the same.
    if (!d3dx9::Picture::decode(data, size, picture, channels, 512)) return 0;
    // What a default load does: the next powers of two, then the mip chain.
    int width = 1, height = 1;
    while (width < picture.width)
        width *= 2;
    while (height < picture.height)
        height *= 2;
    d3dx9::Picture level = picture.resampled(width, height);
    while (level.width > 1 || level.height > 1)
        level = level.halved();
    return 0;
}
