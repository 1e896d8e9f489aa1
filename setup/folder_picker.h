#pragma once
// The directory picker `frmDirectori` ("Seleccionar Directori:"): its
// behaviour behind a view. On Linux the drives are the mounted file systems.
#include <string>

#include "base/form.h"

namespace torvic::setup {

class FolderPickerView {
public:
    virtual ~FolderPickerView() = default;
    // Shown modally on the current directory; returns when it has closed.
    virtual void showModal() = 0;
    virtual void close() = 0;
    virtual std::string openDirectory() = 0;  // the directory open in Dir1
};

class FolderPickerPresenter {
public:
    explicit FolderPickerPresenter(FolderPickerView& view) : view_(view) {}

    std::string Directori;  // the choice; empty when none was made

    void show() {
        Directori.clear();  // the close box chooses nothing
        view_.showModal();
    }
    void onAccept() {  // Command1_Click "Acceptar"
        Directori = view_.openDirectory();
        view_.close();
    }
    void onCancel() {  // Command2_Click "Cancel·lar"
        Directori.clear();
        view_.close();
    }

private:
    FolderPickerView& view_;
};

// The picker's form (its code is beside the installer's).
const Form<FolderPickerPresenter>& folderPickerForm();

}  // namespace torvic::setup
