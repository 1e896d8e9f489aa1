#pragma once
// The about box `frmAbout`: its behaviour behind a view, and the system
// information program it can start.
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "base/form.h"

namespace torvic {

class AboutBoxView {
public:
    virtual ~AboutBoxView() = default;
    virtual void showModal() = 0;
    virtual void close() = 0;
    virtual void setCaption(const std::string& text) = 0;
    virtual void setTitle(const std::string& text) = 0;        // lblTitle
    virtual void setVersion(const std::string& text) = 0;      // lblVersion
    virtual void setDescription(const std::string& text) = 0;  // Text1
    virtual void setDisclaimer(const std::string& text) = 0;   // lblDisclaimer
    virtual void messageBox(const std::string& text, const std::string& title) = 0;  // OK only, no icon
};

class AboutBoxPresenter {
public:
    static constexpr int kMajor = 1, kMinor = 0, kRevision = 60;

    AboutBoxPresenter(AboutBoxView& view, Platform& platform);

    // The system's information programs as command lines, the best first
    // (the system's convention; tests replace it).
    std::function<std::vector<std::string>()> systemInformationPrograms;

    void show();  // loads the texts, then the box modally
    void onLoad();  // Form_Load
    void onOk() { view_.close(); }              // cmdOK_Click
    void onSystemInfo() { StartSysInfo(); }     // cmdSysInfo_Click
    // Starts the system's information program; says so when there is none.
    void StartSysInfo();

private:
    AboutBoxView& view_;
    Platform& platform_;
};

// The box's form; its title and the texts of lblTitle, lblVersion, Text1
// and lblDisclaimer are the presenter's.
const Form<AboutBoxPresenter>& aboutBoxForm();

}  // namespace torvic
