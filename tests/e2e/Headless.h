#pragma once
#include "support/Process.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace test {

// No display at all, as on a build machine.
inline const std::vector<std::string> headless = {"DISPLAY=", "WAYLAND_DISPLAY="};

// The program copied into the folder it runs in. It looks for its data and music there, then
// beside itself, which is the same folder: what a test puts there is all the show finds.
inline std::string programIn(const std::string& folder) {
    const std::string copy = folder + "/lumiflux";
    if (!std::filesystem::exists(copy)) std::filesystem::copy_file(LUMIFLUX_EXE, copy);
    return copy;
}

inline ProcessResult lumiflux(const std::vector<std::string>& arguments, const std::string& folder,
                              const std::vector<std::string>& environment = headless) {
    std::vector<std::string> command{programIn(folder)};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runProcess(command, folder, environment, 300);
}

// The built art where the show looks for it: data/ in the folder it runs in.
inline void linkArt(const std::string& folder) {
    std::filesystem::create_directory_symlink(ART_DIR, folder + "/data");
}

inline std::vector<std::filesystem::path> framesIn(const std::string& folder) {
    std::vector<std::filesystem::path> frames;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    return frames;
}

} // namespace test
