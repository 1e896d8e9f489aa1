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
        : mouse(mouseView, platform),
          about(aboutView, platform),
          main(mainView, platform, missatge, substituir, codificacio, mouse, about) {
        missatgeView.attach(&missatge);
        substituirView.attach(&substituir);
        codificacioView.attach(&codificacio);
        mouseView.attach(&mouse);
        aboutView.attach(&about);
        mainView.attach(&main);
    }
    EditorWindows(const EditorWindows&) = delete;
    EditorWindows& operator=(const EditorWindows&) = delete;

    typename Views::MainWindow mainView;
    typename Views::MessageWindow missatgeView;
    MessageWindowPresenter missatge{missatgeView};
    typename Views::ReplaceDialog substituirView;
    ReplaceDialogPresenter substituir{substituirView};
    typename Views::KeyDialog codificacioView;
    KeyDialogPresenter codificacio{codificacioView};
    typename Views::MousePicker mouseView;
    MousePickerPresenter mouse;
    typename Views::AboutBox aboutView;
    AboutBoxPresenter about;
    MainWindowPresenter main;
};

}  // namespace torvic
