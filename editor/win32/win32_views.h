#pragma once
// The Win32 views of the editor's windows, for EditorWindows<Win32Views>.
#include "editor/win32/about_box_win32.h"
#include "editor/win32/key_dialog_win32.h"
#include "editor/win32/main_window_win32.h"
#include "editor/win32/message_window_win32.h"
#include "editor/win32/mouse_picker_win32.h"
#include "editor/win32/replace_dialog_win32.h"

namespace torvic::win32 {

struct Win32Views {
    using MainWindow = MainWindowWin32;
    using MessageWindow = MessageWindowWin32;
    using ReplaceDialog = ReplaceDialogWin32;
    using KeyDialog = KeyDialogWin32;
    using MousePicker = MousePickerWin32;
    using AboutBox = AboutBoxWin32;
};

}  // namespace torvic::win32
