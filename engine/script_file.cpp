#include "engine/script_file.h"

namespace torvic {

std::string scriptTextFromBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32);
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t cr = bytes.find('\r', i);
        if (!out.empty() || i > 0) out += "\r\n";
        if (cr == std::string_view::npos) {
            out.append(bytes.substr(i));
            break;
        }
        out.append(bytes.substr(i, cr - i));
        i = cr + 1;
        if (i < bytes.size() && bytes[i] == '\n') ++i;
    }
    return out;
}

}  // namespace torvic
