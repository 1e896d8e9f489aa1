#pragma once
// The script file format: plain 1252 text, one script line per text line.
#include <optional>
#include <string>
#include <string_view>

namespace torvic {

// Editor text of a script file's bytes: a line ends at CR or CR LF (a lone
// LF is an ordinary character), lines are joined with CR LF, and there is no
// line break after the last line.
std::string scriptTextFromBytes(std::string_view bytes);

// Reads a whole file as bytes; nothing when it cannot be opened or read
// (`error` then says why).
std::optional<std::string> readFileBytes(const std::string& path, std::string* error = nullptr);

}  // namespace torvic
