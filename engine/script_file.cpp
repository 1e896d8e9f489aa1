#include "engine/script_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

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

std::optional<std::string> readFileBytes(const std::string& path, std::string* error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        if (error) *error = "is a directory";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = std::strerror(errno);
        return std::nullopt;
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) {
        if (error) *error = "read error";
        return std::nullopt;
    }
    return ss.str();
}

}  // namespace torvic
