// make_manual: writes the manual torvic.rtf (a build step, so the manual
// follows the keyword table).
#include <cstdio>

#include "base/files.h"
#include "editor/manual.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_manual OUTPUT.rtf\n");
        return 2;
    }
    std::string error;
    if (!torvic::writeFileSafely(argv[1], torvic::manualRtf(), &error)) {
        std::fprintf(stderr, "make_manual: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
