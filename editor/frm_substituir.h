#pragma once
// frmSubstituir: the find and replace dialog. Its four values outlive the
// dialog; closing it without "Substituir" keeps the previous ones.
#include <cstdint>
#include <string>

namespace torvic {

class FrmSubstituirView {
public:
    virtual ~FrmSubstituirView() = default;
    // Shows the dialog modally from its design values; returns when closed.
    virtual void showModal() = 0;
    virtual void close() = 0;
    virtual std::string clipboardText() = 0;
    virtual void setFindText(const std::string& text) = 0;  // Text1
    virtual void selectAllFindText() = 0;
    virtual std::string findText() = 0;
    virtual std::string replacementText() = 0;  // Text2
    virtual std::string countText() = 0;        // Text3
    virtual bool onlyAfterCaret() = 0;          // Check1
};

class FrmSubstituir {
public:
    explicit FrmSubstituir(FrmSubstituirView& view) : view_(view) {}

    void show() { view_.showModal(); }
    void Form_Activate();
    void Command1_Click();

    std::string pTexte1, pTexte2;
    std::int16_t pVegades = 0;
    bool pnoPrincipi = false;
    // False when the count field held a number outside -32768..32767.
    bool pVegadesValid = true;

private:
    FrmSubstituirView& view_;
};

}  // namespace torvic
