#pragma once
#include <string>

namespace host {

// A fragmented MP4 cut short (a full disk, a killed encoder) ends in a fragment with part of
// its data: players stop there with errors. Cuts the file back to its last whole fragment so
// that it plays to its end, and says how many whole fragments it holds; 0 when none (or no
// header), -1 when it cannot be read or cut.
int trimToWholeFragments(const std::string& path);

} // namespace host
