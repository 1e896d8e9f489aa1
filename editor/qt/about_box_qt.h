#pragma once
// The Qt view of the about box frmAbout.
#include <QDialog>
#include <functional>

#include "editor/about_box.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace torvic::qt {

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
