#include "editor/layout.h"

#include <cmath>
#include <map>

namespace torvic {
namespace {

struct DesignControl {
    const char* name;
    int left, top, width, height;  // twips
};

constexpr DesignControl kDesign[] = {
    {"Frame3", 120, 120, 8655, 1335},
    // The file controls lie over Frame3 but belong to the window itself.
    {"Command10", 240, 480, 1545, 375},
    {"Command7", 1920, 480, 1425, 375},
    {"Command1", 7800, 360, 855, 255},
    {"Command2", 7560, 600, 1095, 255},
    {"Text2", 240, 960, 8055, 360},
    {"Command6", 8280, 960, 375, 360},
    {"Text1", 120, 1560, 8655, 3855},
    {"Frame1", 120, 5520, 3855, 975},
    {"Text3", 120, 240, 1215, 285},
    {"Frame4", 1920, 0, 1935, 510},
    {"Label7", 195, 240, 495, 255},
    {"Label5", 675, 240, 495, 255},
    {"Label8", 1170, 240, 375, 255},
    {"Label6", 1530, 240, 435, 255},
    {"Text4", 120, 600, 3615, 285},
    {"Frame2", 4080, 5520, 4695, 975},
    {"Command9", 120, 360, 1215, 375},
    {"Command8", 1320, 360, 1440, 375},
    {"Command4", 2760, 360, 735, 375},
    {"Command3", 3480, 360, 1095, 375},
    {"Label2", 480, 720, 975, 255},
    {"Label3", 1800, 720, 735, 255},
    {"Label4", 3000, 720, 615, 255},
    {"Label1", 3960, 720, 615, 255},
    {"Command5", 8040, 0, 735, 255},
};

const DesignControl* find(const std::string& name) {
    for (const DesignControl& d : kDesign)
        if (name == d.name) return &d;
    return nullptr;
}

// Pixels per horizontal unit: 8910 / 632 twips at 15 twips a pixel.
constexpr double kUnitWidth = 8910.0 / 632.0 / kTwipsPerPixel;

}  // namespace

Rect designRect(const std::string& control) {
    const DesignControl* d = find(control);
    if (!d) return {};
    return {twipsToPixels(d->left), twipsToPixels(d->top), twipsToPixels(d->width), twipsToPixels(d->height)};
}

Rect minimumClientSize() {
    // The run frame keeps to the right edge (SW - 343) and the run-line frame
    // to the left (8 units): side by side, with no overlap. Below the file
    // area and above the frames (SH - 182 high), the editor keeps 3 lines.
    const DesignControl* frame1 = find("Frame1");
    const double widthUnits = 343 + 8 + frame1->width / (kUnitWidth * kTwipsPerPixel);
    return {0, 0, static_cast<int>(std::ceil(widthUnits * kUnitWidth)), 182 + 3 * 16};
}

std::vector<LayoutStep> resizeLayout(int clientWidth, int clientHeight) {
    const double SW = clientWidth / kUnitWidth;  // client width in units
    const double SH = clientHeight;               // one unit per pixel down
    auto across = [](double units) { return static_cast<int>(std::lround(units * kUnitWidth)); };
    auto down = [](double units) { return static_cast<int>(std::lround(units)); };
    const LayoutStep all[] = {
        {"Text1", LayoutStep::Width, across(SW - 18)},   {"Text1", LayoutStep::Height, down(SH - 182)},
        {"Frame2", LayoutStep::Left, across(SW - 343)},  {"Frame2", LayoutStep::Top, down(SH - 71)},
        {"Frame1", LayoutStep::Left, across(8)},          {"Frame1", LayoutStep::Top, down(SH - 71)},
        {"Frame3", LayoutStep::Width, across(SW - 18)},  {"Command1", LayoutStep::Left, across(SW - 79)},
        {"Command2", LayoutStep::Left, across(SW - 96)}, {"Command6", LayoutStep::Left, across(SW - 45)},
        {"Text2", LayoutStep::Width, across(SW - 61)},
    };
    std::vector<LayoutStep> steps;
    for (const LayoutStep& s : all) {
        // The platform refuses negative sizes; those assignments are skipped.
        if ((s.property == LayoutStep::Width || s.property == LayoutStep::Height) && s.pixels < 0) continue;
        steps.push_back(s);
    }
    return steps;
}

}  // namespace torvic
