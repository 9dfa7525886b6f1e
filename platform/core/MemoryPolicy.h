#pragma once

namespace platform {

// How the process asks glibc and the kernel for memory, in one place: a software rasteriser
// allocates tens of megabytes a frame, and where that memory comes from decides whether frames
// hitch. Each call does nothing where the C library or kernel has no such setting.
class MemoryPolicy {
  public:
    // At the very start of main: glibc backs its heap with transparent huge pages only when the
    // environment asks before the process starts, so the program asks and starts itself again.
    // A user's own GLIBC_TUNABLES stand, and then no restart happens.
    static void restartWithHugePages(char** argv);
    // After the restart, the tunable we set for ourselves is taken out of the environment, so
    // programs we start (the video encoder) run with the environment the user gave us.
    static void forgetOwnTunables();
    // Keeps what the rasteriser frees at the end of a frame instead of giving it back to the
    // kernel page by page.
    static void keepFreedMemory();
    // Once a frame is shown, loading is over: memory touched for the first time from then on
    // comes a small page a fault.
    static void smallPagesFromNowOn();
};

} // namespace platform
