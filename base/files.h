#pragma once
// Whole-file reading and writing, as bytes without any conversion.
#include <optional>
#include <string>
#include <string_view>

namespace torvic {

// Reads a whole file; nothing when it cannot be opened or read (`error`
// then says why).
std::optional<std::string> readFileBytes(const std::string& path, std::string* error = nullptr);

// Writes a whole file so that a failure never destroys what was there: the
// bytes go to a temporary file in the same folder, which replaces the target
// only once everything was written. The target keeps its permissions, and a
// symbolic link keeps pointing where it did (the file it points to is
// replaced).
// Returns true on success; otherwise `error` says why and the target is
// untouched.
bool writeFileSafely(const std::string& path, std::string_view bytes, std::string* error = nullptr);

}  // namespace torvic
