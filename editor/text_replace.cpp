#include "editor/text_replace.h"

namespace torvic {

std::string replaceFrom(std::string_view text, std::size_t from, std::string_view find, std::string_view replacement,
                        int count) {
    if (from == 0) from = 1;
    if (from > text.size()) return "";
    std::string_view rest = text.substr(from - 1);
    if (find.empty() || count == 0) return std::string(rest);
    std::string out;
    out.reserve(rest.size());
    std::size_t in = 0;
    int done = 0;
    for (std::size_t q = rest.find(find); q != std::string_view::npos && (count < 0 || done < count);
         q = rest.find(find, in)) {
        out.append(rest.substr(in, q - in));
        out.append(replacement);
        in = q + find.size();
        ++done;
    }
    out.append(rest.substr(in));
    return out;
}

}  // namespace torvic
