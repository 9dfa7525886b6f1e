#include "core/Paths.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::filesystem::path programFolder() {
    std::error_code ec;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : program.parent_path();
}

} // namespace

std::string nativePath(const std::string& path) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    std::error_code ec;
    if (native.empty() || native.front() == '/' || std::filesystem::exists(native, ec))
        return native;
    const auto program = programFolder();
    for (const auto& folder : {program, program / "../share/games/lumiflux"}) {
        const auto candidate = folder / native;
        if (std::filesystem::exists(candidate, ec)) return candidate.lexically_normal().string();
    }
    return native;
}

bool readWholeFile(const std::string& path, std::vector<unsigned char>& out, std::size_t maxBytes) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
              static_cast<std::uint64_t>(info.st_size) <= maxBytes;
    if (ok) {
        out.resize(static_cast<std::size_t>(info.st_size));
        std::size_t got = 0;
        while (ok && got < out.size()) {
            const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
            if (n < 0 && errno == EINTR) continue;
            ok = n > 0;
            if (ok) got += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    if (!ok) out.clear();
    return ok;
}

} // namespace platform
