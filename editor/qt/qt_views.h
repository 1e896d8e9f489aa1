#pragma once
// The Qt views of the editor's windows, for EditorWindows<QtViews>.
#include "editor/qt/about_box_qt.h"
#include "editor/qt/message_window_qt.h"
#include "editor/qt/replace_dialog_qt.h"
#include "editor/qt/key_dialog_qt.h"
#include "editor/qt/main_window_qt.h"
#include "editor/qt/mouse_picker_qt.h"

namespace torvic::qt {

struct QtViews {
    using MainWindow = MainWindowQt;
    using MessageWindow = MessageWindowQt;
    using ReplaceDialog = ReplaceDialogQt;
    using KeyDialog = KeyDialogQt;
    using MousePicker = MousePickerQt;
    using AboutBox = AboutBoxQt;
};

}  // namespace torvic::qt
