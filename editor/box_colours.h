#pragma once
// The colours the script box draws with, worked out from the desktop's own
// (its ground, text and selection colours): keywords, comments, the marks of
// the running line and of characters code page 1252 lacks, the gutter. Each
// ink stays readable on its ground (a contrast of at least 4.5:1), on
// light, dark and high-contrast schemes alike; in high contrast the box
// keeps to the scheme's own colours and tells styles apart by bold, italic
// and underlining only.
#include <cstdint>

namespace torvic {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// The contrast ratio of two colours (1 to 21), as accessibility guidelines
// measure it.
double contrast(Rgb a, Rgb b);

struct BoxColours {
    Rgb ground, text;
    Rgb keyword, comment;
    Rgb runLine;        // the ground of the line a run is at
    Rgb outside1252;    // the ground of a character 1252 lacks
    Rgb wave;           // the wave under a line that is not understood
    Rgb gutter, gutterNumber;
    Rgb gutterRunning, gutterRunningNumber;
};
inline constexpr double kReadable = 4.5;

BoxColours boxColours(Rgb ground, Rgb text, Rgb highlight, Rgb highlightText, bool highContrast);

}  // namespace torvic
