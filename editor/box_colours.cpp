#include "editor/box_colours.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace torvic {
namespace {

double linear(std::uint8_t c) {
    const double s = c / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}
double luminance(Rgb c) { return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b); }

// `a` moved towards `b` by `part` (0: a, 1: b).
Rgb mix(Rgb a, Rgb b, double part) {
    auto one = [part](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::lround(x + (y - x) * std::clamp(part, 0.0, 1.0)));
    };
    return {one(a.r, b.r), one(a.g, b.g), one(a.b, b.b)};
}

// A hue for an ink, moved towards `text` as far as it takes to be readable
// on `ground` (the text itself is, on any scheme worth the name).
Rgb readableInk(Rgb hue, Rgb ground, Rgb text, double needed = kReadable) {
    for (int step = 0; step <= 20; ++step) {
        const Rgb ink = mix(hue, text, step / 20.0);
        if (contrast(ink, ground) >= needed) return ink;
    }
    return text;
}
// A tint of the ground for a mark, as strong as `part` allows while every
// ink drawn on it stays readable.
Rgb readableGround(Rgb ground, Rgb tint, std::initializer_list<Rgb> inks, double part) {
    for (; part > 0.01; part *= 0.75) {
        const Rgb mark = mix(ground, tint, part);
        if (std::all_of(inks.begin(), inks.end(), [mark](Rgb ink) { return contrast(ink, mark) >= kReadable; })) return mark;
    }
    return ground;
}

}  // namespace

double contrast(Rgb a, Rgb b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

BoxColours boxColours(Rgb ground, Rgb text, Rgb highlight, Rgb highlightText, bool highContrast) {
    BoxColours c;
    c.ground = ground;
    c.text = text;
    if (highContrast) {
        // The scheme's own pair everywhere; the running line in the gutter
        // as the scheme shows a selection.
        c.keyword = c.comment = c.wave = c.gutterNumber = text;
        c.runLine = c.outside1252 = c.gutter = ground;
        c.gutterRunning = highlight;
        c.gutterRunningNumber = highlightText;
        return c;
    }
    const bool dark = luminance(ground) < luminance(text);
    c.keyword = readableInk(dark ? Rgb{130, 170, 255} : Rgb{0, 0, 160}, ground, text);
    // (On the light scheme these are the box's colours of old, where they
    // were readable.)
    c.comment = readableInk(mix(text, ground, 0.43), ground, text);
    // The wave is a mark, not text: 3:1 is enough to see it.
    c.wave = readableInk(dark ? Rgb{255, 90, 90} : Rgb{255, 0, 0}, ground, text, 3.0);
    const std::initializer_list<Rgb> inks{text, c.keyword, c.comment};
    c.runLine = readableGround(ground, {200, 235, 200}, inks, 1.0);
    c.outside1252 = readableGround(ground, {255, 190, 190}, inks, 1.0);
    c.gutter = mix(ground, text, 0.0745);
    c.gutterNumber = readableInk(mix(text, c.gutter, 0.42), c.gutter, text);
    c.gutterRunning = readableGround(ground, {120, 190, 120}, {text}, 1.0);
    c.gutterRunningNumber = text;
    return c;
}

}  // namespace torvic
