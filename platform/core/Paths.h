#pragma once
#include <string>

namespace platform {

// The demo names files the original platform's way ("data\lf.png"); here they are "data/lf.png".
std::string nativePath(const std::string& path);

} // namespace platform
