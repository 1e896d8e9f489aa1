#pragma once
// The editor's windows wired together, the one place that does it: each
// window's behaviour over its view, and the main window's behaviour over
// them all, its engine and the platform. `Views` names the view classes of
// a toolkit (or the fake views of the tests): MainWindow, MessageWindow,
// ReplaceDialog, KeyDialog, MousePicker and AboutBox, each with attach(behaviour).
#include "editor/about_box.h"
#include "editor/message_window.h"
#include "editor/replace_dialog.h"
#include "editor/key_dialog.h"
#include "editor/main_window.h"
#include "editor/mouse_picker.h"

namespace torvic {

template <class Views>
struct EditorWindows {
    explicit EditorWindows(Platform& platform)
        : mousePicker(mousePickerView, platform),
          aboutBox(aboutBoxView, platform),
          main(mainView, platform, messageWindow, replaceDialog, keyDialog, mousePicker, aboutBox) {
        messageWindowView.attach(&messageWindow);
        replaceDialogView.attach(&replaceDialog);
        keyDialogView.attach(&keyDialog);
        mousePickerView.attach(&mousePicker);
        aboutBoxView.attach(&aboutBox);
        mainView.attach(&main);
    }
    EditorWindows(const EditorWindows&) = delete;
    EditorWindows& operator=(const EditorWindows&) = delete;

    typename Views::MainWindow mainView;
    typename Views::MessageWindow messageWindowView;
    MessageWindowPresenter messageWindow{messageWindowView};
    typename Views::ReplaceDialog replaceDialogView;
    ReplaceDialogPresenter replaceDialog{replaceDialogView};
    typename Views::KeyDialog keyDialogView;
    KeyDialogPresenter keyDialog{keyDialogView};
    typename Views::MousePicker mousePickerView;
    MousePickerPresenter mousePicker;
    typename Views::AboutBox aboutBoxView;
    AboutBoxPresenter aboutBox;
    MainWindowPresenter main;
};

}  // namespace torvic
