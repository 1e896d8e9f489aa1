// make_manual: writes the manual as torvic.rtf and torvic.html into a
// folder (a build step, so the manual follows the keyword table).
#include <cstdio>
#include <string>

#include "platform/files.h"
#include "editor/manual.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_manual FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (const auto& [name, text] : {std::pair{"/torvic.rtf", torvic::manualRtf()}, {"/torvic.html", torvic::manualHtml()}}) {
        std::string error;
        if (!torvic::writeFileSafely(folder + name, text, &error)) {
            std::fprintf(stderr, "make_manual: %s%s: %s\n", folder.c_str(), name, error.c_str());
            return 1;
        }
    }
    return 0;
}
