#pragma once
// Fake views of the windows: they keep what the behaviour shows, answer
// questions and dialogs from queues, and record every message box.
#include <deque>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "base/text_encoding.h"
#include "editor/message_window.h"
#include "editor/replace_dialog.h"
#include "editor/editor_windows.h"
#include "editor/main_window.h"
#include "engine/timers.h"
#include "tests/support/scripted_host.h"

namespace torvic::test {

class FakeMainView : public MainWindowView {
public:
    void attach(MainWindowPresenter*) {}
    std::string editor, text2Field, text3Field = "0", text4Field;
    std::size_t caret = 0;
    bool text4Yellow = false;
    std::string labelColumn = "0";
    bool buttonsEnabled = true, visible = true, ended = false, iconShown = false, endButtonHidden = false;
    std::string iconTooltip;
    TimerSchedule timers;
    long long now = 0;  // virtual milliseconds
    std::vector<Message> messages;
    std::deque<bool> answers;           // Yes/No questions
    std::deque<std::string> dialogAnswers;  // file dialogs: a path, or "" for cancel
    std::vector<std::string> dialogsShown;  // "open <dir>|<name>" or "save <dir>|<name>"

    // Text1 as the behaviour reads it in 1252. What was typed or loaded in
    // UTF-8 (`editorUtf8`) counts only while `editor` is still its 1252 form:
    // a test that sets `editor` itself replaces it.
    std::string editorUtf8;
    std::string editorText() override { return editor; }
    void setEditorText(const std::string& t) override {
        editor = t;
        editorUtf8.clear();
    }
    std::string editorTextUtf8() override {
        return !editorUtf8.empty() && utf8To1252(editorUtf8) == editor ? editorUtf8 : cp1252::toUtf8(editor);
    }
    void setEditorTextUtf8(const std::string& t) override {
        editorUtf8 = t;
        editor = utf8To1252(t);
    }
    // Replacements the user can undo: the text each one replaced (UTF-8).
    std::vector<std::string> undoTexts;
    void replaceEditorTextUtf8(const std::string& t) override {
        undoTexts.push_back(editorTextUtf8());
        setEditorTextUtf8(t);
    }
    // The user types a whole new text (UTF-8) into the editor.
    void type(const std::string& utf8) { setEditorTextUtf8(utf8); }
    std::size_t editorCaret() override { return caret; }
    void setEditorTooltip(const std::string&) override {}
    void focusEditor() override {}
    std::string text2() override { return text2Field; }
    void setText2(const std::string& t) override { text2Field = t; }
    std::string text3() override { return text3Field; }
    void setText3(const std::string& t) override { text3Field = t; }
    void setText4(const std::string& t) override { text4Field = t; }
    std::string caption;
    void setCaption(const std::string& t) override { caption = t; }
    void setRunLineMark(int) override {}
    void setText4Tooltip(const std::string&) override {}
    void setText4Highlighted(bool y) override { text4Yellow = y; }
    void setCaretLabels(const std::string&, const std::string& c) override { labelColumn = c; }
    void setRunButtonsEnabled(bool e) override { buttonsEnabled = e; }
    void repaintNow() override {}
    // The user at the window while a run goes on (pressing Stop, say).
    std::function<void()> onPendingInput;
    int inputChecks = 0;
    void handlePendingInput() override {
        ++inputChecks;
        if (onPendingInput) onPendingInput();
    }
    bool isVisible() override { return visible; }
    void setVisible(bool v) override { visible = v; }
    void applyLayout(const std::vector<LayoutStep>&) override {}
    void moveEndButtonOutOfSight() override { endButtonHidden = true; }
    void startTimer1(int ms) override { timers.start(1, ms, now); }
    void stopTimer1() override { timers.stop(1); }
    void startTimer2(int ms) override { timers.start(2, ms, now); }
    void stopTimer2() override { timers.stop(2); }
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon, bool) override {
        messages.push_back({Message::Box, text, title, icon, 0});
    }
    bool askYesNo(const std::string& text, const std::string& title, MessageIcon icon) override {
        messages.push_back({Message::Question, text, title, icon, 0});
        return next(answers, false);
    }
    std::deque<SaveChoice> saveChoices;  // the unsaved-changes question; an empty queue cancels
    SaveChoice askSaveChanges(const std::string& text, const std::string& title) override {
        messages.push_back({Message::Question, text, title, MessageIcon::None, 0});
        return next(saveChoices, SaveChoice::Cancel);
    }
    std::string openFileDialog(const std::string& dir, const std::string& name, const std::string&) override {
        return dialog("open " + dir + "|" + name);
    }
    std::string saveFileDialog(const std::string& dir, const std::string& name, const std::string&) override {
        return dialog("save " + dir + "|" + name);
    }
    bool notificationArea = true;  // the desktop has one
    bool minimised = false;
    std::vector<std::string> statusTexts;
    bool showNotificationIcon(const std::string& tip) override {
        if (!notificationArea) return false;
        iconShown = true;
        iconTooltip = tip;
        return true;
    }
    void removeNotificationIcon() override { iconShown = false; }
    bool checkAturat = false, checkExecutant = true;
    void setTrayChecks(bool aturat, bool executant) override {
        checkAturat = aturat;
        checkExecutant = executant;
    }
    void minimise() override { minimised = true; }
    bool statusShown = false;
    void showStatus(const std::string& text) override {
        statusTexts.push_back(text);
        statusShown = true;
    }
    void clearStatus() override { statusShown = false; }
    std::vector<std::string> manualsShown;  // "show" or "print"
    void showManual(const std::string& html, bool print) override {
        if (html.find("<h3 id=\"ref\">") != std::string::npos) manualsShown.push_back(print ? "print" : "show");
    }
    void endProgram() override { ended = true; }

private:
    std::string dialog(const std::string& what) {
        dialogsShown.push_back(what);
        return next(dialogAnswers, std::string());
    }
};

class FakeMessageWindowView : public MessageWindowView {
public:
    MessageWindowPresenter* behaviour = nullptr;
    void attach(MessageWindowPresenter* b) { behaviour = b; }
    bool open = false, ticking = false, exportOn = false;
    std::string title, message, seconds, pauseCaption = "Pausar", exportName = "errors.txt";
    int beeps = 0, shows = 0;
    std::vector<std::string> boxes;
    // Runs while the window is shown modally (the test's user).
    std::function<void()> whileOpen;

    void showModal() override {
        open = true;
        ++shows;
        behaviour->onActivate();
        if (open && whileOpen) whileOpen();
        open = false;
    }
    void close() override { open = false; }
    void setTitle(const std::string& t) override { title = t; }
    void setMessage(const std::string& t) override { message = t; }
    void setSecondsLeft(const std::string& t) override { seconds = t; }
    void setPauseCaption(const std::string& t) override { pauseCaption = t; }
    void startTick() override { ticking = true; }
    void stopTick() override { ticking = false; }
    bool exportChecked() override { return exportOn; }
    std::string exportFileName() override { return exportName; }
    void messageBox(const std::string& t) override { boxes.push_back(t); }
    void beep() override { ++beeps; }
};

// The key dialog: the user types `key` and presses `button` (1 Codificar,
// 2 Descodificar, 3 Cancelar, 0 the close box).
class FakeKeyDialogView : public KeyDialogView {
public:
    KeyDialogPresenter* behaviour = nullptr;
    void attach(KeyDialogPresenter* b) { behaviour = b; }
    std::string key;
    int button = 0;
    int shows = 0;
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
    void show() override {}
    void hide() override {}
    void startTimer1(int) override {}
    void stopTimer1() override {}
    std::string text1() override { return x; }
    std::string text2() override { return y; }
    void setLabels(const std::string&, const std::string&) override {}
    void messageBox(const std::string& text, const std::string&) override { boxes.push_back(text); }
};

class FakeAboutBoxView : public AboutBoxView {
public:
    void attach(AboutBoxPresenter*) {}
    std::vector<std::string> boxes;
    void showModal() override {}
    void close() override {}
    void setCaption(const std::string&) override {}
    void setTitle(const std::string&) override {}
    void setVersion(const std::string&) override {}
    void setDescription(const std::string&) override {}
    void setDisclaimer(const std::string&) override {}
    void messageBox(const std::string& t, const std::string& boxTitle) override { boxes.push_back(boxTitle + "|" + t); }
};

class FakeReplaceDialogView : public ReplaceDialogView {
public:
    ReplaceDialogPresenter* behaviour = nullptr;
    void attach(ReplaceDialogPresenter* b) { behaviour = b; }
    std::string clipboard, find, replacement, count = "-1";
    bool afterCaret = false, selectedAll = false;
    bool pressSubstituir = true;  // false: the dialog is closed with its close box

    void showModal() override {
        // Every opening starts from the design values, but the find field.
        replacement.clear();
        count = "-1";
        afterCaret = false;
        behaviour->onActivate();
        if (fill) fill(*this);
        if (pressSubstituir) behaviour->onReplace();
    }
    void close() override {}
    std::string clipboardText() override { return clipboard; }
    void setFindText(const std::string& t) override { find = t; }
    void selectAllFindText() override { selectedAll = true; }
    std::string findText() override { return find; }
    std::string replacementText() override { return replacement; }
    std::string countText() override { return count; }
    bool onlyAfterCaret() override { return afterCaret; }
    // What the user types before pressing the button.
    std::function<void(FakeReplaceDialogView&)> fill;
};

struct FakeViews {
    using MainWindow = FakeMainView;
    using MessageWindow = FakeMessageWindowView;
    using ReplaceDialog = FakeReplaceDialogView;
    using KeyDialog = FakeKeyDialogView;
    using MousePicker = FakeMousePickerView;
    using AboutBox = FakeAboutBoxView;
};

struct RecordingPlatformHolder {
    RecordingPlatform platform;
};

// The editor's windows wired to fake views and a recording platform.
struct WindowRig : RecordingPlatformHolder, EditorWindows<FakeViews> {
    FakeMainView& view = mainView;
    MainWindowPresenter& torvic = main;

    WindowRig() : EditorWindows<FakeViews>(platform) {
        platform.setClock(2026, 12, 16, 10, 0, 0);
        torvic.currentDirectory = [] { return std::string("/home/user"); };
    }
    // Fires the view's timers as the host would after `ms`.
    void advance(long long ms);
};

}  // namespace torvic::test
