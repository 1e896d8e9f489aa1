#include "editor/layout.h"

#include <cmath>
#include <map>

#include "editor/main_window_form.h"

namespace torvic {
namespace {

const TwipRect* find(const std::string& name) {
    const FormControl<MainWindowPresenter>* c = mainWindowForm().find(name.c_str());
    return c ? &c->place : nullptr;
}

// Pixels per horizontal unit: 8910 / 632 twips at 15 twips a pixel.
constexpr double kUnitWidth = 8910.0 / 632.0 / kTwipsPerPixel;

}  // namespace

Rect designRect(const std::string& control) {
    const TwipRect* d = find(control);
    if (!d) return {};
    return {twipsToPixels(d->x), twipsToPixels(d->y), twipsToPixels(d->width), twipsToPixels(d->height)};
}

Rect minimumClientSize() {
    // The run frame keeps to the right edge (SW - 343) and the run-line frame
    // to the left (8 units): side by side, with no overlap. Below the file
    // area and above the frames (SH - 182 high), the editor keeps 3 lines.
    const TwipRect* frame1 = find("Frame1");
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
