#pragma once
// The Qt view of the mouse position picker: a modeless tool window, made
// when it is first shown and unloaded by its close box.
#include <QPointer>
#include <functional>

#include "editor/mouse_picker.h"

class QDialog;
class QLabel;
class QLineEdit;
class QTimer;

namespace torvic::qt {

class MouseDialog;

class MousePickerQt : public MousePickerView {
public:
    ~MousePickerQt() override;
    void attach(MousePickerPresenter* behaviour) { mouse_ = behaviour; }
    // The window while it is loaded (tests look at it).
    QDialog* window() const;

    void show() override;
    void hide() override;
    void startTimer1(int intervalMs) override;
    void stopTimer1() override;
    std::string text1() override;
    std::string text2() override;
    void setLabels(const std::string& x, const std::string& y) override;
    void messageBox(const std::string& text, const std::string& title) override;

private:
    MousePickerPresenter* mouse_ = nullptr;
    QPointer<MouseDialog> window_;
};

}  // namespace torvic::qt
