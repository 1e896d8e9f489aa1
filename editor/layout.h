#pragma once
// Geometry of the main window: the design positions (in twips, 15 to a
// pixel) and the resize rules, which are worked out in the window's own
// units: 632 units across the design width (one unit is 8910/632 twips) and
// one unit per 15 twips down.
#include <optional>
#include <string>
#include <vector>

#include "base/form.h"

namespace torvic {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

inline constexpr int kDesignClientWidth = 594;   // 8910 twips
inline constexpr int kDesignClientHeight = 438;  // 6570 twips

// Design rectangle of a control in pixels, relative to its frame when it has
// one ("Text1", "Frame2", "Command9", ...).
Rect designRect(const std::string& control);

// The smallest client area (width and height, in pixels) at which the resize
// rules still keep every control clear of the others.
Rect minimumClientSize();

// One assignment of the resize rules.
struct LayoutStep {
    std::string control;
    enum Property { Left, Top, Width, Height } property;
    int pixels;
};

// The resize assignments for a client area of the given size in pixels, in
// order; an assignment that would give a negative size is left out.
std::vector<LayoutStep> resizeLayout(int clientWidth, int clientHeight);

}  // namespace torvic
