#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// The demo names files the original platform's way ("data\lf.png"); here they are
// "data/lf.png". A relative name missing from the working folder is looked for beside the
// program, then in the games data folder of the tree the program is installed in
// (/usr/games/lumiflux reads /usr/share/games/lumiflux), so it runs from anywhere; the working
// folder comes first.
std::string nativePath(const std::string& path);

// The whole of a regular file of at most maxBytes; false for anything else (missing, a folder,
// unreadable, larger), with out left empty.
bool readWholeFile(const std::string& path, std::vector<unsigned char>& out, std::size_t maxBytes);

} // namespace platform
