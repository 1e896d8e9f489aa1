#pragma once
// The Qt view of the key dialog `Codificacio`.
#include <functional>

#include "editor/key_dialog.h"

class QDialog;
class QLineEdit;

namespace torvic::qt {

class KeyDialogQt : public KeyDialogView {
public:
    void attach(KeyDialogPresenter* behaviour) { codificacio_ = behaviour; }
    // Called with the open dialog, for tests that fill it in.
    std::function<void(QDialog*)> onOpen;

    void showModal() override;
    void close() override;
    std::string keyTextUtf8() override;

private:
    KeyDialogPresenter* codificacio_ = nullptr;
    QDialog* dialog_ = nullptr;
    QLineEdit* key_ = nullptr;
};

}  // namespace torvic::qt
