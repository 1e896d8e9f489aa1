#include "engine/script_file.h"

#include "engine/engine.h"

namespace torvic {

std::string scriptTextFromBytes(std::string_view bytes, bool* readLineFeeds) {
    const bool lineFeeds = bytes.find('\r') == std::string_view::npos &&
                           bytes.find('\n') != std::string_view::npos && !bytes.starts_with(kEncodedMarker);
    if (readLineFeeds) *readLineFeeds = lineFeeds;
    const char end = lineFeeds ? '\n' : '\r';
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32);
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t cr = bytes.find(end, i);
        if (!out.empty() || i > 0) out += "\r\n";
        if (cr == std::string_view::npos) {
            out.append(bytes.substr(i));
            break;
        }
        out.append(bytes.substr(i, cr - i));
        i = cr + 1;
        if (!lineFeeds && i < bytes.size() && bytes[i] == '\n') ++i;
    }
    return out;
}

}  // namespace torvic
