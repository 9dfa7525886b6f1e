#include "Host.h"

#include <cstdlib> // defines __GLIBC__ where it is glibc

#if defined(__GLIBC__)
#include <unistd.h>

namespace {

// Most of start-up is the kernel handing out zeroed pages for textures, one fault per 4 KiB;
// glibc backs its heap with transparent huge pages only when the environment asks before the
// process starts, so the program asks and starts again. A user's own tunables stand.
void startWithHugePages(char** argv) {
    if (std::getenv("GLIBC_TUNABLES")) return;
    setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 1);
    execv("/proc/self/exe", argv);
    unsetenv("GLIBC_TUNABLES"); // no /proc: run as we are
}

} // namespace
#endif

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    startWithHugePages(argv);
#endif
    return host::run(argc, argv);
}
