#pragma once
// Syntax hints: the parameter template of a command keyword.
#include <string>
#include <string_view>

namespace torvic {

// Template for the keyword in `TextComanda` (blanks trimmed, case ignored,
// exact match), or the empty text.
std::string TAjuda(std::string_view TextComanda);

}  // namespace torvic
