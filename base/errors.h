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

}  // namespace torvic
