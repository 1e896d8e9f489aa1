#pragma once
// What a text command needs from the interpreter while it runs one line.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "engine/host.h"

namespace torvic {

class LineContext {
public:
    virtual ~LineContext() = default;

    // Fills the parameter slots from the current line, one kind per slot.
    virtual void obtParam(std::initializer_list<std::int16_t> kinds) = 0;
    virtual std::string& param(int slot) = 0;
    // The current line as stored in the table (already trimmed).
    virtual const std::string& currentLine() const = 0;
    virtual std::int16_t currentLineIndex() const = 0;
    // Ends the run at the first empty entry after the script, without the
    // common advance to the next line.
    virtual void endRunHere() = 0;
    // The syntax-error prompt with an extra text; the line ends without the
    // common advance.
    virtual void syntaxErrorPrompt(std::string& missatge) = 0;
    virtual Host& host() = 0;
};

}  // namespace torvic
