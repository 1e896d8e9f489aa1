#pragma once
// The directory picker `frmDirectori` ("Seleccionar Directori:"): its
// behaviour behind a view. On Linux the drives are the mounted file systems.
#include <string>

namespace torvic::setup {

class FrmDirectoriView {
public:
    virtual ~FrmDirectoriView() = default;
    // Shown modally on the current directory; returns when it has closed.
    virtual void showModal() = 0;
    virtual void close() = 0;
    virtual std::string openDirectory() = 0;  // the directory open in Dir1
};

class FrmDirectori {
public:
    explicit FrmDirectori(FrmDirectoriView& view) : view_(view) {}

    std::string Directori;  // the choice; empty when none was made

    void show() {
        Directori.clear();  // the close box chooses nothing
        view_.showModal();
    }
    void Command1_Click() {  // "Acceptar"
        Directori = view_.openDirectory();
        view_.close();
    }
    void Command2_Click() {  // "Cancel·lar"
        Directori.clear();
        view_.close();
    }

private:
    FrmDirectoriView& view_;
};

}  // namespace torvic::setup
