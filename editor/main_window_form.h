#pragma once
// The form of the main window `Torvic`, the same for every toolkit: its
// controls at their design places and its menus (design name, caption,
// shortcut, handler). The views build the window from it, and the manual
// describes the menus from it. The resize rules are in layout.h. Texts are
// UTF-8.
#include <span>

#include "base/form.h"

namespace torvic {

class MainWindowPresenter;
using Handler = void (MainWindowPresenter::*)();

// The window's title is the presenter's caption, set at start-up.
const Form<MainWindowPresenter>& mainWindowForm();

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
