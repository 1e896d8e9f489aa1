// The mouse position picker with a fake view: live coordinates, the moves
// "Fixar posició" makes from typed numbers, "Tornar".
#include <gtest/gtest.h>

#include "tests/support/fake_views.h"

namespace torvic {
namespace {

TEST(MousePicker, FixarPosicioReadsTheLeadingNumbers) {
    // The typed coordinates, and the move asked of the platform ("" for none).
    struct Case { const char *x, *y, *call; } cases[] = {
        {"100abc", " 20", "cursor 100 20"}, {"10.5", "11.5", "cursor 10 12"}, {"&H10", "x", "cursor 16 0"},
        {"3e9", "0", ""},                   {"2147483647", "-2147483648", "cursor 2147483647 -2147483648"},
    };
    for (const Case& c : cases) {
        test::WindowRig rig;
        rig.torvic.onMousePosition();
        rig.mousePickerView.x = c.x;
        rig.mousePickerView.y = c.y;
        rig.mousePicker.onFixPosition();
        const std::string call = c.call;
        EXPECT_EQ(rig.platform.calls, call.empty() ? std::vector<std::string>{} : std::vector<std::string>{call})
            << c.x << " " << c.y;
        EXPECT_EQ(rig.mousePickerView.boxes.size(), call.empty() ? 1u : 0u) << c.x << " " << c.y;
    }
}

}  // namespace
}  // namespace torvic
