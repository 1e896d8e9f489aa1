#pragma once
// A failure inside a script line: the dispatcher turns it into the
// syntax-error prompt instead of stopping the program.
#include <stdexcept>
#include <string>

namespace torvic {

class RunTimeError : public std::runtime_error {
public:
    explicit RunTimeError(const std::string& what) : std::runtime_error(what) {}
};

// The base layer's only text a user reads: a number too large for its type.
inline const std::string& overflowText() {
    static const std::string text = "Desbordament";
    return text;
}

}  // namespace torvic
