#pragma once
// The form of the main window `Torvic`, the same for every toolkit: its
// controls in the order they are made (design name, kind, frame, caption,
// tip, handler) and its menus (design name, caption, shortcut, handler).
// The views build the window from it, and the manual describes the menus
// from it. Geometry is in layout.h. Texts are UTF-8.
#include <span>

namespace torvic {

class MainWindowPresenter;
using Handler = void (MainWindowPresenter::*)();

struct FormControl {
    enum Kind { Frame, Button, Label, Field, Editor } kind;
    const char* name;     // the design name ("Command3"), which the geometry table uses
    const char* parent;   // the frame it stands in, or "" for the window
    const char* caption;  // a field's initial text
    const char* tip;
    Handler handler;      // a button's click
};
std::span<const FormControl> mainWindowControls();

struct FormMenuItem {
    const char* name;      // the design name ("EExecutar"); a separator's too
    const char* caption;   // with "&" before the access key; "-" is a separator
    const char* shortcut;  // "Ctrl+N", "Shift+F5", "F1", or ""
    Handler handler;
    bool checkable = false, checked = false;
};
struct FormMenu {
    const char* caption;  // "&Fitxer"; the popup RCpopup's is never shown
    bool popup;           // RCpopup: the notification icon's menu, not in the menu bar
    std::span<const FormMenuItem> items;
};
std::span<const FormMenu> mainWindowMenus();

}  // namespace torvic
