#pragma once
// The Qt view of the find and replace dialog frmSubstituir.
#include <QDialog>
#include <functional>

#include "editor/replace_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace torvic::qt {

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
    std::string clipboardTextUtf8() override;
    void setFindTextUtf8(const std::string& text) override;
    void selectAllFindText() override;
    std::string findTextUtf8() override;
    std::string replacementTextUtf8() override;
    std::string countText() override;
    bool onlyAfterCaret() override;

private:
    ReplaceDialogPresenter* substituir_ = nullptr;
    SubstituirDialog* dialog_ = nullptr;
};

}  // namespace torvic::qt
