#pragma once
// Fake views of the windows: they keep what the behaviour shows, answer
// questions and dialogs from queues, and record every message box.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "base/text_encoding.h"
#include "editor/message_window.h"
#include "editor/replace_dialog.h"
#include "editor/editor_windows.h"
#include "editor/main_window.h"
#include "tests/support/scripted_host.h"

namespace torvic::test {

using S = const std::string&;

class FakeMainView : public MainWindowView {
public:
    void attach(MainWindowPresenter*) {}
    std::string editor, text2Field, text3Field = "0", text4Field, labelColumn = "0", iconTooltip, caption;
    std::size_t caret = 0;
    bool text4Yellow = false, buttonsEnabled = true, visible = true, ended = false, iconShown = false;
    bool endButtonHidden = false, notificationArea = true /* the desktop has one */, minimised = false;
    bool checkAturat = false, checkExecutant = true, statusShown = false;
    std::optional<long long> timerDue;  // the run timer, on the virtual clock
    long long now = 0;  // virtual milliseconds
    std::vector<Message> messages;
    std::string titles() const {  // every box's and question's title, joined with "|"
        std::string all;
        for (const Message& m : messages) all += (all.empty() ? "" : "|") + m.title;
        return all;
    }
    std::deque<bool> answers;               // Yes/No questions
    std::deque<SaveChoice> saveChoices;     // the unsaved-changes question; an empty queue cancels
    std::deque<std::string> dialogAnswers;  // file dialogs: a path, or "" for cancel
    std::vector<std::string> dialogsShown;  // "open <dir>|<name>" or "save <dir>|<name>"
    std::vector<std::string> undoTexts;     // what each replacement the user can undo replaced (UTF-8)
    std::vector<std::string> statusTexts, manualsShown /* "show" or "print" */;

    // Text1 as the behaviour reads it in 1252. What was typed or loaded in
    // UTF-8 (`editorUtf8`) counts only while `editor` is still its 1252 form:
    // a test that sets `editor` itself replaces it.
    std::string editorUtf8;
    std::string editorText() override { return editor; }
    void setEditorText(S t) override { editor = t, editorUtf8.clear(); }
    std::string editorTextUtf8() override {
        return !editorUtf8.empty() && utf8To1252(editorUtf8) == editor ? editorUtf8 : cp1252::toUtf8(editor);
    }
    void setEditorTextUtf8(std::string t) override { editorUtf8 = t, editor = utf8To1252(t); }
    void replaceEditorTextUtf8(S t) override { undoTexts.push_back(editorTextUtf8()), setEditorTextUtf8(t); }
    void type(S utf8) { setEditorTextUtf8(utf8); }  // the user types a whole new text
    std::size_t editorCaret() override { return caret; }
    std::string text2() override { return text2Field; }
    void setText2(S t) override { text2Field = t; }
    std::string text3() override { return text3Field; }
    void setText3(S t) override { text3Field = t; }
    void setText4(S t) override { text4Field = t; } void setCaption(S t) override { caption = t; }
    void setText4Highlighted(bool y) override { text4Yellow = y; }
    void setCaretLabels(S, S c) override { labelColumn = c; }
    void setRunButtonsEnabled(bool e) override { buttonsEnabled = e; }
    void handlePendingInput() override {}
    bool isVisible() override { return visible; }
    void setVisible(bool v) override { visible = v; }
    void moveEndButtonOutOfSight() override { endButtonHidden = true; }
    void startRunTimer(int ms) override { timerDue = now + ms; }
    void stopRunTimer() override { timerDue.reset(); }
    long long steadyMs() override { return now; }
    std::vector<bool> systemModal;  // of each message box, in order
    void messageBox(S text, S title, MessageIcon icon, bool modal) override {
        messages.push_back({Message::Box, text, title, icon, 0}), systemModal.push_back(modal);
    }
    bool askYesNo(S text, S title, MessageIcon icon) override {
        messages.push_back({Message::Question, text, title, icon, 0});
        return next(answers, false);
    }
    SaveChoice askSaveChanges(S text, S title) override {
        messages.push_back({Message::Question, text, title, MessageIcon::None, 0});
        return next(saveChoices, SaveChoice::Cancel);
    }
    // Questions with buttons of their own: the index chosen; an empty queue
    // answers with the last button (Esc).
    std::deque<int> choices;
    int askChoice(S text, S title, const std::vector<std::string>& buttons, int) override {
        messages.push_back({Message::Question, text, title, MessageIcon::None, 0});
        return next(choices, static_cast<int>(buttons.size()) - 1);
    }
    std::optional<long long> recoveryDue;  // the recovery copy's timer, on the virtual clock
    void startRecoveryTimer(int ms) override { recoveryDue = now + ms; }
    std::vector<std::string> newWindows;  // files opened in another editor window
    void openInNewWindow(S file) override { newWindows.push_back(file); }
    std::string openFileDialog(S dir, S name, S) override { return dialog("open " + dir + "|" + name); }
    std::string saveFileDialog(S dir, S name, S) override { return dialog("save " + dir + "|" + name); }
    bool showNotificationIcon(S tip) override {
        if (notificationArea) iconShown = true, iconTooltip = tip;
        return notificationArea;
    }
    void removeNotificationIcon() override { iconShown = false; }
    void setTrayChecks(bool aturat, bool executant) override { checkAturat = aturat, checkExecutant = executant; }
    bool minimiseIsSure = true;  // false: the desktop may not minimise
    bool minimise() override { return minimised = true, minimiseIsSure; }
    void showStatus(S text) override { statusTexts.push_back(text), statusShown = true; }
    void clearStatus() override { statusShown = false; }
    void showManual(S html, bool print) override {
        if (html.find("<h3 id=\"ref\">") != std::string::npos) manualsShown.push_back(print ? "print" : "show");
    }
    void endProgram() override { ended = true; }
    // What only a real window shows.
    void setEditorTooltip(S) override {} void focusEditor() override {} void setRunLineMark(int) override {}
    void setText4Tooltip(S) override {} void repaintNow() override {} void applyLayout(const std::vector<LayoutStep>&) override {}

private:
    std::string dialog(S what) { return dialogsShown.push_back(what), next(dialogAnswers, std::string()); }
};

class FakeMessageWindowView : public MessageWindowView {
public:
    MessageWindowPresenter* behaviour = nullptr;
    void attach(MessageWindowPresenter* b) { behaviour = b; }
    bool open = false, ticking = false, exportOn = false;
    std::string seconds, pauseCaption = "Pausar", exportName = "errors.txt";
    int beeps = 0, shows = 0;
    std::vector<std::string> boxes;
    std::function<void()> whileOpen;  // runs while the window is shown modally (the test's user)

    void showModal() override {
        open = true, ++shows;
        behaviour->onActivate();
        if (open && whileOpen) whileOpen();
        open = false;
    }
    void close() override { open = false; }
    void setTitle(S) override {} void setMessage(S) override {}
    void setSecondsLeft(S t) override { seconds = t; }
    void setPauseCaption(S t) override { pauseCaption = t; }
    void startTick() override { ticking = true; } void stopTick() override { ticking = false; }
    bool exportChecked() override { return exportOn; }
    std::string exportFileName() override { return exportName; }
    void messageBox(S t) override { boxes.push_back(t); }
    void beep() override { ++beeps; }
};

// The key dialog: the user types `key` and presses `button` (1 Codificar,
// 2 Descodificar, 3 Cancelar, 0 the close box).
class FakeKeyDialogView : public KeyDialogView {
public:
    KeyDialogPresenter* behaviour = nullptr;
    void attach(KeyDialogPresenter* b) { behaviour = b; }
    std::string key;
    int button = 0, shows = 0;
    void showModal() override {
        ++shows;
        if (button == 1) behaviour->onEncode();
        if (button == 2) behaviour->onDecode();
        if (button == 3) behaviour->onCancel();
    }
    void close() override {}
    std::string keyTextUtf8() override { return key; }
};

// The mouse position picker: the typed coordinates and its message boxes.
class FakeMousePickerView : public MousePickerView {
public:
    void attach(MousePickerPresenter*) {}
    std::string x = "0", y = "0";
    std::vector<std::string> boxes;
    std::string text1() override { return x; }
    std::string text2() override { return y; }
    void messageBox(S text, S) override { boxes.push_back(text); }
    bool polling = false;
    std::string labelX, labelY;
    void show() override {} void hide() override {}
    void startTimer1(int) override { polling = true; }
    void stopTimer1() override { polling = false; }
    void setLabels(S lx, S ly) override { labelX = lx, labelY = ly; }
};

class FakeAboutBoxView : public AboutBoxView {
public:
    void attach(AboutBoxPresenter*) {}
    std::vector<std::string> boxes;
    void messageBox(S t, S boxTitle) override { boxes.push_back(boxTitle + "|" + t); }
    void showModal() override {} void close() override {} void setCaption(S) override {} void setTitle(S) override {}
    void setVersion(S) override {} void setDescription(S) override {} void setDisclaimer(S) override {}
};

class FakeReplaceDialogView : public ReplaceDialogView {
public:
    ReplaceDialogPresenter* behaviour = nullptr;
    void attach(ReplaceDialogPresenter* b) { behaviour = b; }
    std::string clipboard, find, replacement, count = "-1";
    bool afterCaret = false, selectedAll = false;
    bool pressSubstituir = true;  // false: the dialog is closed with its close box
    std::function<void(FakeReplaceDialogView&)> fill;  // what the user types before pressing the button

    void showModal() override {
        replacement.clear(), count = "-1", afterCaret = false;  // the design values, but the find field
        behaviour->onActivate();
        if (fill) fill(*this);
        if (pressSubstituir) behaviour->onReplace();
    }
    void close() override {}
    std::string clipboardTextUtf8() override { return clipboard; }
    void setFindTextUtf8(S t) override { find = t; }
    void selectAllFindText() override { selectedAll = true; }
    std::string findTextUtf8() override { return find; }
    std::string replacementTextUtf8() override { return replacement; }
    std::string countText() override { return count; }
    bool onlyAfterCaret() override { return afterCaret; }
};

struct FakeViews {
    using MainWindow = FakeMainView;
    using MessageWindow = FakeMessageWindowView;
    using ReplaceDialog = FakeReplaceDialogView;
    using KeyDialog = FakeKeyDialogView;
    using MousePicker = FakeMousePickerView;
    using AboutBox = FakeAboutBoxView;
};

struct RecordingPlatformHolder { RecordingPlatform platform; };

// The editor's windows wired to fake views and a recording platform.
struct WindowRig : RecordingPlatformHolder, EditorWindows<FakeViews> {
    FakeMainView& view = mainView;
    MainWindowPresenter& torvic = main;

    WindowRig() : EditorWindows<FakeViews>(platform) {
        platform.setClock(2026, 12, 16, 10, 0, 0);
        torvic.currentDirectory = [] { return std::string("/home/user"); };
        torvic.recoveryFolder = [] { return std::string(); };  // no copies unless a test gives a folder
    }
    // Fires the view's timers as the host would after `ms`.
    void advance(long long ms);
};

}  // namespace torvic::test
