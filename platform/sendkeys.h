#pragma once
// The key-injection notation: plain characters; "+", "^" and "%" hold shift,
// control and alt for the next key or a group in parentheses; "~" is Enter;
// braces name a key ({ENTER}, {F4}, {LEFT 3}) or quote a special character
// ({+}, {{}, {}}). Parsed into keystrokes that any desktop can inject.
#include <string>
#include <string_view>
#include <vector>

namespace torvic {

struct KeyStroke {
    std::vector<std::string> modifiers;  // "shift", "ctrl", "alt", in the order given
    std::string key;                     // a named key as an X keysym name ("Return", "F4"), or empty
    std::string text;                    // characters (code page 1252) when `key` is empty
    int repeat = 1;                      // how many times the whole stroke is typed ({LEFT 3})
    bool operator==(const KeyStroke&) const = default;
};

// Repeats stay counts, so the strokes take memory in proportion to the
// notation however many keys it stands for.
// Throws RunTimeError for invalid notation (an unclosed brace or
// parenthesis, an unknown key name, a modifier with no key after it...).
std::vector<KeyStroke> parseSendKeys(std::string_view keys);

}  // namespace torvic
