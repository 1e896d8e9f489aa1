#pragma once
// The message boxes and questions a run may show, whoever shows them (a
// window, the console, a test). Texts are code page 1252 bytes.
#include <cstdint>
#include <string>

namespace torvic {

enum class MessageIcon { None, Information, Exclamation, Critical };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Modal box with one OK button.
    virtual void messageBox(const std::string& text, const std::string& title, MessageIcon icon,
                            bool systemModal = false) = 0;
    // Modal Yes/No question without icon; true for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& title) = 0;
    // The timed message window: returns when it has closed.
    virtual void ferMissatge(const std::string& missatge, const std::string& titol, std::int16_t temps) = 0;
};

}  // namespace torvic
