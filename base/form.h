#pragma once
// A window's form, the same for every toolkit: its title, its size, and its
// controls in the order they are made (design name, kind, frame, caption,
// tip, place, handler). The Qt and the Win32 views build their windows from
// it; what a window does beyond its controls (timers, keys, menus) stays in
// its view. Texts are UTF-8; places are in twips, relative to the frame a
// control stands in.
#include <cstddef>
#include <string_view>

namespace torvic {

enum class ControlKind {
    Frame,     // a group box with a caption
    Button,
    Label,
    Field,     // a one-line text box
    Editor,    // a multi-line text box
    CheckBox,
    List,      // a list box
    DropDown,  // a drop-down list
    Icon,      // the program's icon
    Line,      // a sunken horizontal line
};

// Flags of a control; several may be or-ed.
enum ControlStyle : unsigned {
    Plain = 0,
    DefaultButton = 1,  // Enter presses it
    Bold = 2,
    RightAligned = 4,
    ReadOnly = 8,
    WordWrap = 16,  // a label of several lines; an editor box that wraps its lines
    Overlay = 32,   // a label lying over another: it covers no more than its own text
};

struct TwipRect {
    int x = 0, y = 0, width = 0, height = 0;
};

inline constexpr int kTwipsPerPixel = 15;
// Twips (never negative in a design) to the nearest pixel at 96 DPI.
inline constexpr int twipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

template <class Presenter>
struct FormControl {
    ControlKind kind;
    const char* name;     // the design name ("Command3"); "" for a control nobody names
    const char* parent;   // the frame it stands in, or "" for the window
    const char* caption;  // a field's initial text
    const char* tip;
    TwipRect place;
    void (Presenter::*handler)() = nullptr;  // a button's click
    unsigned style = Plain;
    double points = 0;  // its font size, when not the form's
};

template <class Presenter>
struct Form {
    const char* title;
    int width, height;  // client area, twips
    double points;      // the font size of its controls
    const FormControl<Presenter>* begin_;
    const FormControl<Presenter>* end_;
    const FormControl<Presenter>* begin() const { return begin_; }
    const FormControl<Presenter>* end() const { return end_; }
    const FormControl<Presenter>* find(const char* name) const;
};

// The form over a static table of controls.
template <class Presenter, std::size_t N>
constexpr Form<Presenter> makeForm(const char* title, int width, int height, double points,
                                   const FormControl<Presenter> (&controls)[N]) {
    return {title, width, height, points, controls, controls + N};
}

template <class Presenter>
const FormControl<Presenter>* Form<Presenter>::find(const char* name) const {
    for (const FormControl<Presenter>& c : *this)
        if (std::string_view(c.name) == name) return &c;
    return nullptr;
}

}  // namespace torvic
