#pragma once
// The Qt view of the timed message window frmMissatge.
#include <QDialog>
#include <functional>

#include "editor/message_window.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace torvic::qt {

class MessageWindowQt : public QDialog, public MessageWindowView {
public:
    MessageWindowQt();
    void attach(MessageWindowPresenter* behaviour) { missatge_ = behaviour; }
    QPushButton* button(int index) const;  // Command1..Command4
    QLabel* secondsLabel() const { return label3_; }
    QCheckBox* exportCheck() const { return check1_; }
    QLineEdit* exportField() const { return text1_; }

    void showModal() override;
    void close() override;
    void setTitle(const std::string& text) override;
    void setMessage(const std::string& text) override;
    void setSecondsLeft(const std::string& text) override;
    void setPauseCaption(const std::string& text) override;
    void startTick() override;
    void stopTick() override;
    bool exportChecked() override;
    std::string exportFileName() override;
    void messageBox(const std::string& text) override;
    void beep() override;

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    // Esc and the close box close the message as "Acceptar" does.
    void reject() override;

private:
    MessageWindowPresenter* missatge_ = nullptr;
    QLabel *label1_, *label3_;
    QPushButton* buttons_[4];
    QCheckBox* check1_;
    QLineEdit* text1_;
    QTimer* timer1_;
    bool activatedSinceShow_ = false;
};

}  // namespace torvic::qt
