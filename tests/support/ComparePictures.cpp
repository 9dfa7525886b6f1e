// compare_pictures OLD.png NEW.png TOLERANCE: prints how many pixels differ by more than the
// tolerance in a channel, for scripts/bless-goldens. Exit 2 when a picture cannot be read.
#include "support/Image.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: compare_pictures OLD.png NEW.png TOLERANCE\n");
        return 2;
    }
    test::Image before, after;
    if (!test::loadPng(argv[1], before) || !test::loadPng(argv[2], after)) {
        std::fprintf(stderr, "compare_pictures: cannot read %s or %s\n", argv[1], argv[2]);
        return 2;
    }
    if (before.width != after.width || before.height != after.height) {
        std::printf("size %dx%d -> %dx%d\n", before.width, before.height, after.width,
                    after.height);
        return 0;
    }
    std::printf("%d\n", test::compareImages(before, after, std::atoi(argv[3])));
    return 0;
}
