#include "Host.h"
#include "core/MemoryPolicy.h"

int main(int argc, char** argv) {
    platform::MemoryPolicy::restartWithHugePages(argv);
    platform::MemoryPolicy::forgetOwnTunables();
    return host::run(argc, argv);
}
