#pragma once
// The replace function of the find and replace dialog.
#include <string>
#include <string_view>

namespace torvic {

// The part of `text` from 1-based position `from` to its end, with the first
// `count` occurrences of `find` (all when count is -1) replaced, left to
// right without overlap, exact case. An empty find replaces nothing; a
// position past the end gives the empty text.
std::string replaceFrom(std::string_view text, std::size_t from, std::string_view find, std::string_view replacement,
                        int count);

}  // namespace torvic
