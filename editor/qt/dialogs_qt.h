#pragma once
// Qt views of frmMissatge and frmSubstituir.
#include <QDialog>
#include <functional>

#include "editor/about_box.h"
#include "editor/message_window.h"
#include "editor/replace_dialog.h"

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

// The find and replace dialog's widgets; made anew at every opening.
class SubstituirDialog;

class ReplaceDialogQt : public ReplaceDialogView {
public:
    void attach(ReplaceDialogPresenter* behaviour) { substituir_ = behaviour; }
    // The dialog while it is open (tests fill it through this).
    QDialog* dialog() const;
    // Called with the open dialog, for tests that fill it in.
    std::function<void(QDialog*)> onOpen;

    void showModal() override;
    void close() override;
    std::string clipboardText() override;
    void setFindText(const std::string& text) override;
    void selectAllFindText() override;
    std::string findText() override;
    std::string replacementText() override;
    std::string countText() override;
    bool onlyAfterCaret() override;

private:
    ReplaceDialogPresenter* substituir_ = nullptr;
    SubstituirDialog* dialog_ = nullptr;
};

// The about box: made afresh at each showing, at its design geometry.
class AboutBoxQt : public AboutBoxView {
public:
    void attach(AboutBoxPresenter* behaviour) { about_ = behaviour; }
    // Called with the open box, for tests.
    std::function<void(QDialog*)> onOpen;

    void showModal() override;
    void close() override;
    void setCaption(const std::string& text) override { caption_ = text; }
    void setTitle(const std::string& text) override { title_ = text; }
    void setVersion(const std::string& text) override { version_ = text; }
    void setDescription(const std::string& text) override { description_ = text; }
    void setDisclaimer(const std::string& text) override { disclaimer_ = text; }
    void messageBox(const std::string& text, const std::string& title) override;

private:
    AboutBoxPresenter* about_ = nullptr;
    QDialog* dialog_ = nullptr;
    std::string caption_, title_, version_, description_, disclaimer_;
};

}  // namespace torvic::qt
