// Feeds arbitrary bytes to the .x reader: it must fail cleanly or succeed, never read out of
// bounds, never recurse without end.
#include "XFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    d3dx9::XScene scene;
    d3dx9::parseXFile(reinterpret_cast<const char*>(data), size, scene);
    return 0;
}
