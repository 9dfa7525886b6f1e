#include "core/MemoryPolicy.h"

#include <cstdlib> // defines __GLIBC__ where it is glibc
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>
#include <unistd.h>
#endif
#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace platform {
namespace {

#if defined(__GLIBC__)
constexpr const char* tunables = "GLIBC_TUNABLES";
constexpr const char* ourTunables = "glibc.malloc.hugetlb=1";
// Set beside our tunable on the restart, so the restarted process knows the tunable is ours.
constexpr const char* restartedMark = "LUMIFLUX_RESTARTED_WITH_TUNABLES";
#endif

} // namespace

// Most of start-up is the kernel handing out zeroed pages for textures, one fault per 4 KiB.
void MemoryPolicy::restartWithHugePages(char** argv) {
#if defined(__GLIBC__)
    if (std::getenv(tunables)) return;
    setenv(tunables, ourTunables, 1);
    setenv(restartedMark, "1", 1);
    execv("/proc/self/exe", argv);
    unsetenv(tunables); // no /proc: run as we are
    unsetenv(restartedMark);
#else
    (void)argv;
#endif
}

void MemoryPolicy::forgetOwnTunables() {
#if defined(__GLIBC__)
    if (!std::getenv(restartedMark)) return;
    unsetenv(restartedMark);
    const char* current = std::getenv(tunables);
    if (current && std::strcmp(current, ourTunables) == 0) unsetenv(tunables);
#endif
}

// Left to glibc, the rasteriser's bins go back to the kernel each frame and come back one page
// fault at a time (a 4x slower frame where the bins grow).
void MemoryPolicy::keepFreedMemory() {
#if defined(__GLIBC__)
    constexpr int trimThreshold = 256 << 20, mmapThreshold = 32 << 20; // the largest glibc takes
    mallopt(M_TRIM_THRESHOLD, trimThreshold);
    mallopt(M_MMAP_THRESHOLD, mmapThreshold);
#endif
}

// A transparent huge page zeroes 2 MiB at once, and when the rasteriser's bins first grow
// mid-show that stalls a frame (230 ms where the warning scene's struts start to fade).
void MemoryPolicy::smallPagesFromNowOn() {
#if defined(__linux__)
    static const bool asked = prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0) == 0;
    (void)asked;
#endif
}

} // namespace platform
