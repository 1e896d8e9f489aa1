#pragma once
// The editor's windows wired together, the one place that does it: each
// window's behaviour over its view, and the main window's behaviour over
// them all, its engine and the platform. `Views` names the view classes of
// a toolkit (or the fake views of the tests): MainWindow, Missatge,
// Substituir, Codificacio, Mouse and About, each with attach(behaviour).
#include "editor/frm_about.h"
#include "editor/frm_missatge.h"
#include "editor/frm_substituir.h"
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
    typename Views::Missatge missatgeView;
    FrmMissatge missatge{missatgeView};
    typename Views::Substituir substituirView;
    FrmSubstituir substituir{substituirView};
    typename Views::Codificacio codificacioView;
    Codificacio codificacio{codificacioView};
    typename Views::Mouse mouseView;
    Mouse mouse;
    typename Views::About aboutView;
    FrmAbout about;
    MainWindowPresenter main;
};

}  // namespace torvic
