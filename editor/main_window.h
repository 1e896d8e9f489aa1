#pragma once
// The main window `Torvic`: the editor and the control panel of the
// interpreter. This is its behaviour, in plain C++ behind MainWindowView;
// the Qt view only shows what it is told and forwards events. Texts are
// code page 1252 with CR LF line breaks; editor positions count each line
// break as two characters.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_encoding.h"
#include "editor/key_dialog.h"
#include "editor/mouse_picker.h"
#include "editor/about_box.h"
#include "editor/message_window.h"
#include "editor/replace_dialog.h"
#include "editor/layout.h"
#include "editor/recovery_copy.h"
#include "engine/engine.h"

namespace torvic {

// The answers to the question about changes not saved.
enum class SaveChoice { Save, Discard, Cancel };

class MainWindowView {
public:
    virtual ~MainWindowView() = default;

    virtual void setCaption(const std::string& text) = 0;
    // Marks the editor's line with this run number as the one being run (-1: none).
    virtual void setRunLineMark(int index) = 0;
    // Text1 in code page 1252: a '?' stands for each character 1252 cannot hold.
    virtual std::string editorText() = 0;
    virtual void setEditorText(const std::string& text) = 0;
    // Text1 without loss, in UTF-8 (CR LF line breaks).
    virtual std::string editorTextUtf8() = 0;
    virtual void setEditorTextUtf8(std::string text) = 0;  // taken over, not copied
    // Replaces the whole text (UTF-8) as one edit the user can undo, as
    // typing can.
    virtual void replaceEditorTextUtf8(const std::string& text) = 0;
    virtual std::size_t editorCaret() = 0;  // selection start, in characters
    // The caret's line: its number and the caret's column as editorCaret
    // counts them, and its text (1252, without the line break). Views
    // override these to spare copying the whole text on every key.
    struct CaretLine {
        int line = 0;
        int column = 0;
        std::string text;
    };
    virtual CaretLine editorCaretLine();
    // Whether the character `c` (1252) stands after the end of the caret's line.
    virtual bool editorHoldsAfterCaretLine(char c);
    // Whether the text changed since setEditorModified(false) (going back
    // through the undo history counts as unchanged); nothing from a view
    // that does not keep track.
    virtual std::optional<bool> editorModified() { return std::nullopt; }
    virtual void setEditorModified(bool) {}
    virtual void setEditorTooltip(const std::string& text) = 0;
    virtual void focusEditor() = 0;
    virtual std::string text2() = 0;
    virtual void setText2(const std::string& text) = 0;
    virtual std::string text3() = 0;
    virtual void setText3(const std::string& text) = 0;
    virtual void setText4(const std::string& text) = 0;
    virtual void setText4Tooltip(const std::string& text) = 0;
    virtual void setText4Highlighted(bool lightYellow) = 0;
    virtual void setCaretLabels(const std::string& line, const std::string& column) = 0;  // Label5, Label6
    // "Cont Exec", "Executa Ocult", "Executa tot" and their menu items.
    virtual void setRunButtonsEnabled(bool enabled) = 0;
    virtual void repaintNow() = 0;
    // Paints what changed and handles the input waiting for the window
    // (keys, clicks), as between two lines of a run.
    virtual void handlePendingInput() = 0;
    virtual bool isVisible() = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void applyLayout(const std::vector<LayoutStep>& steps) = 0;
    virtual void moveEndButtonOutOfSight() = 0;  // Command5 to a top of -20 units
    // The run's timer (Timer1 and Timer2 of the form): one shot after
    // `intervalMs`, calling onRunTimer; starting it again replaces it.
    virtual void startRunTimer(int intervalMs) = 0;
    virtual void stopRunTimer() = 0;
    // Milliseconds on a clock that never goes back.
    virtual long long steadyMs() = 0;
    virtual void messageBox(const std::string& text, const std::string& title, MessageIcon icon,
                            bool systemModal) = 0;
    virtual bool askYesNo(const std::string& text, const std::string& title, MessageIcon icon = MessageIcon::None) = 0;
    // A question with the buttons "Guardar", "No guardar" and "Cancel·lar".
    virtual SaveChoice askSaveChanges(const std::string& text, const std::string& title) = 0;
    // A question with buttons of its own: the index of the one chosen. The
    // one at `defaultButton` answers Return; the last one answers Esc and
    // the close box, so it must be the answer that does nothing.
    virtual int askChoice(const std::string& text, const std::string& title, const std::vector<std::string>& buttons,
                          int defaultButton) = 0;
    // The recovery copy's timer: one shot after `intervalMs`, calling
    // onRecoveryTimer; starting it again replaces it.
    virtual void startRecoveryTimer(int intervalMs) = 0;
    // Another editor, in a process of its own, showing the text of the file
    // (a system name) as a new program.
    virtual void openInNewWindow(const std::string& systemFile) = 0;
    // File dialogs: the chosen path, or empty when cancelled. Their names
    // are the system's own (UTF-8).
    virtual std::string openFileDialog(const std::string& startDirectory, const std::string& fileName,
                                       const std::string& filter) = 0;
    virtual std::string saveFileDialog(const std::string& startDirectory, const std::string& fileName,
                                       const std::string& filter) = 0;
    // The notification-area icon that stands for a hidden window; false when
    // the desktop has no notification area.
    virtual bool showNotificationIcon(const std::string& tooltip) = 0;
    virtual void removeNotificationIcon() = 0;
    // The check marks of "Aturat" and "Executant-se" in the icon's menu.
    virtual void setTrayChecks(bool aturat, bool executant) = 0;
    // To the taskbar; the view calls restoreFromNotificationArea when the
    // user brings the window back. False where the view can only ask the
    // desktop, which may leave the window where it is (a Wayland compositor
    // that minimises nothing).
    virtual bool minimise() = 0;
    // The status line below the controls, gone after 15 s, or at once with
    // clearStatus.
    virtual void showStatus(const std::string& text) = 0;
    virtual void clearStatus() = 0;
    // The help window with the manual (an HTML page, UTF-8); with `print`,
    // its print dialog opens at once.
    virtual void showManual(const std::string& htmlUtf8, bool print) = 0;
    virtual void endProgram() = 0;
};

// The behaviour of the main window `Torvic`. Its handlers are named by what
// they do; the designer names of the controls and menu items they belong to
// stand beside them.
class MainWindowPresenter : public Host {
public:
    static const char* const kCaption;  // UTF-8
    static const char* const kFileFilter;

    MainWindowPresenter(MainWindowView& view, Platform& platform, MessageWindowPresenter& messageWindow,
                        ReplaceDialogPresenter& replaceDialog, KeyDialogPresenter& keyDialog,
                        MousePickerPresenter& mousePicker, AboutBoxPresenter& aboutBox);

    Engine engine;
    // The directory that stands for "the current directory" (tests set
    // one), by its system name (UTF-8).
    std::function<std::string()> currentDirectory;

    // Start-up, layout, caret tracking. The command line is the system's
    // text (UTF-8), so the names in it are the system's.
    void onLoad(const std::string& commandLine);          // Form_Load
    void onResize(int clientWidth, int clientHeight);     // Form_Resize
    void onEditorKeyUp();                                 // Text1_KeyUp
    void onEditorClick() { onEditorKeyUp(); }             // Text1_Click
    void onFileNameKeyPress(int keyCode);                 // Text2_KeyPress
    // Every change of the editor text: the caption marks unsaved changes
    // (from the view's own account of changes where it keeps one).
    void onEditorChange();                                // Text1_Change
    bool startedHidden() const { return startedHidden_; }
    bool ended() const { return ended_; }

    // The window came to the front: a program file another program changed
    // meanwhile is offered again (when nothing here is unsaved).
    void onWindowActivated();
    // Work not yet saved is written to the recovery copy a little after the
    // last change (off the key path), and at once when the program is ended
    // from outside (a signal, the session's end, a lost display): true when
    // a copy was written. The folder of the copies (a system name; tests set one).
    void onRecoveryTimer();
    bool writeRecoveryNow();
    std::function<std::string()> recoveryFolder;
    static constexpr int kRecoveryDelayMs = 2000;

    // Program files.
    void onOpenClick();           // Command1 "-> Obrir": open or reload the named file
    void onSaveClick();           // Command2 "<- Guardar", menu Guardar: save
    void onBrowseClick();         // Command6 "...", menu buscar: browse for a name
    void onSaveAsClick();         // Command7 "Guardar com..", menu Guardarcom: save as
    void onBrowseAndOpenClick();  // Command10 "Navegar i Obrir", menu Obrir
    void onNewProgram();          // menu nou

    // Run controls, and their menu items (which act only while the buttons are enabled).
    // After each, the editor has the focus again while the window is shown.
    void onContinueRun() {  // Command3 "Cont Exec": from the line in Text3
        engine.continueRun(startLine());
        focusAfterRun();
    }
    void onRunAll() {  // Command9 "Executa tot"
        setText3("0");
        engine.runAll();
        focusAfterRun();
    }
    void onRunHidden() {  // Command8 "Executa Ocult": behind the notification icon
        hideToNotificationArea();
        onContinueRun();
    }
    void onStopRun() {  // Command4 "Stop", menu Atura
        engine.stop();
        focusAfterRun();
    }
    void onEnd() { engine.end(); }                  // Command5 "End" (Esc)
    void onMenuContinueRun();                       // menu EExecutar (F5)
    void onMenuRunHidden();                         // menu Ocult (Ctrl+F5)
    void onMenuRunAll();                            // menu executartot (Shift+F5)
    void onRunTimer() { engine.runTimerFired(); }  // Timer1, Timer2

    // Window states.
    void onIconise();  // menu Fitxer_Iconitzar
    void onExit();     // menu Sortir
    // "Maximitzar" of the icon's menu, and the window brought back from the taskbar.
    void restoreFromNotificationArea();
    // The icon's left double click (or the one activation of a panel that
    // gives no double click) reaches the window only while it is
    // subclassed (from the moment it went to the notification area).
    void iconDoubleClicked() {
        if (finestraSubclassada_) restoreFromNotificationArea();
    }
    // The icon's menu RCpopup.
    void onTrayRestore() { restoreFromNotificationArea(); }  // RCPopup_Maximitzar
    void onTrayContinue();  // RCPopup_Aturat "Aturat": continue the run
    void onTrayPause();     // RCPopup_Executant "Executant-se": stop the run
    void onTrayExit();      // RCpopup_Sortir "&Sortir"

    // Encoding: "Codificar/&Descodificar" (Ctrl+D).
    void onEncode();  // menu Eines_Codificar
    // Help: the manual in the help window (no viewer of the desktop needed),
    // printed as torvic.rtf where the system prints, the local manual in
    // place of a web page, the about box. The program's folder is a system
    // name.
    std::function<std::string()> programDirectory;
    void onManual();                         // menu comandes "&Comandes i sintaxis" (F1)
    void onPrintManual();                    // menu Ajuda_Imprimir "&Imprimir manual del programa"
    void onWebPage();                        // menu web "&Web del programa"
    void onAbout() { aboutBox_.show(); }        // menu sobre "En quant a Torvic..."

    // The mouse position picker: "&Posició del Ratolí" (Ctrl+P).
    void onMousePosition() { mousePicker_.show(); }  // menu posicio_rat

    // Find and replace.
    void onReplace() { ferSubstitucio(); }  // menu Substituir
    void ferSubstitucio();

    // Host of the engine.
    std::string editorText() override { return view_.editorText(); }
    std::string editorTextUtf8() override { return view_.editorTextUtf8(); }
    void runStarted() override { setRunButtonsEnabled(false); }
    // The status fields follow the run at screen rate, and the window
    // handles its input as often, so "Stop", F4 and Esc act during a run.
    void lineStarted(int index, const std::string& text) override;
    void runFinished() override;  // Text3 "Acabat", Text4 emptied
    void runStopped() override {
        tellDesktopBackend();
        setRunButtonsEnabled(true);
    }
    // A window sent to the taskbar in place of the notification area counts
    // as hidden: a run started from it ends the program when it ends.
    bool isMainWindowVisible() override { return view_.isVisible() && !minimisedInstead_; }
    // Puts the notification-area icon up and hides the window (or, without
    // a notification area, sends it to the taskbar).
    void hideToNotificationArea();
    void endProgram() override;
    bool confirmEnd() override;
    void startRunTimer(std::int32_t ms) override {
        showPendingRunLine();  // a waiting run shows the line it waits on
        view_.startRunTimer(ms);
    }
    void stopRunTimer() override { view_.stopRunTimer(); }
    long long steadyMs() override { return view_.steadyMs(); }
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon,
                    bool systemModal) override {
        showPendingRunLine();
        view_.messageBox(text, title, icon, systemModal);
    }
    bool askYesNo(const std::string& text, const std::string& title) override {
        showPendingRunLine();
        return view_.askYesNo(text, title);
    }
    void ferMissatge(const std::string& m, const std::string& t, std::int16_t temps) override {
        showPendingRunLine();
        messageWindow_.ferMissatge(m, t, temps);
    }

private:
    // Says once, in the status line, which way the desktop commands reach
    // this desktop, as soon as one has chosen it.
    void tellDesktopBackend();
    bool toldDesktopBackend_ = false;
    // Puts the last line shown by the run into the status fields.
    void showPendingRunLine();
    // The fields the run shows itself in: Text3 (where a continued run
    // starts; the user may edit it) and Text4 (the line being run, or a hint).
    void setText3(const std::string& text);
    void setText4(const std::string& text);
    // Text3 read as the line a continued run starts at.
    double startLine();
    void setRunButtonsEnabled(bool enabled);

    void focusIfVisible();
    void focusAfterRun() {
        if (!ended_ && isMainWindowVisible()) view_.focusEditor();
    }
    // The manual file `name` beside the program (or in a system-wide
    // installation's share/torvic), or empty when there is none.
    std::string manualFile(const std::string& name);
    // Text2 shows a file's name in 1252; the name the system gave (a
    // dialog's, the command line's, the current folder's) is kept beside it
    // and stands for the file while Text2 still shows it. A name the user
    // typed is converted.
    void setFileName(const std::string& systemName);
    std::string fileName();  // the system's name of the file Text2 names
    // `name` below is a system name.
    // Opens the file into the editor; `reload` replaces the text without the
    // question (nothing here is unsaved), as for a file changed on disk.
    void openProgram(std::string name, bool reload);
    // Save over `name`: a changed copy of the program's own file on disk is
    // asked about, and so is any other file that exists (always when
    // `saveAs`); false when nothing was written.
    bool saveTo(const std::string& name, bool saveAs = false);
    // Before the program's own file is replaced: whether the file on disk is
    // still the one last read or written here, or the user chose to write
    // over another program's change. False when nothing must be written.
    bool confirmOverwritingChange(const std::string& name);
    // Whether the program's file on disk is no longer what was last read or
    // written here (its stamp differs and so do its bytes); false for a
    // file that is gone.
    bool programFileChanged();
    // Remembers the program file as read or written: its stamp and bytes.
    void rememberProgramFile(const std::string& name, std::string_view bytes);
    std::optional<FileStamp> programStamp_;
    std::size_t programDiskHash_ = 0;
    std::optional<FileStamp> askedAboutStamp_;  // a change already offered on activation
    bool askingAboutDisk_ = false;
    // The recovery copy, made at its first use.
    RecoveryCopy& recovery();
    std::unique_ptr<RecoveryCopy> recovery_;
    RecoveryContent recoveryContent();
    // At start-up: offers the copies that programs which ended left behind.
    void offerRecovery();
    // The editor takes a program text as a new program (not saved anywhere),
    // in the folder of `name`.
    void showAsNewProgram(const std::string& name);
    // Writes the editor text in the program's encoding (asking before
    // characters 1252 cannot hold would be lost), or says why it could not.
    bool writeProgram(const std::string& name);
    // The same, from the view's own account where it keeps one (cheap on
    // every key).
    bool unsavedNow();
    bool workDiscarded_ = false;  // the user chose to throw the work away
    // Whether the editor holds changes not yet saved (or loaded).
    bool hasUnsavedChanges() { return fingerprint(view_.editorTextUtf8()) != savedText_; }
    // Characters of the editor text that code page 1252 cannot hold, each
    // once (UTF-8); empty for most programs.
    std::string editorCharactersOutside1252();
    // The window caption: the program's file name and a mark for unsaved
    // changes before the window's own caption. The text is compared with
    // the saved one, and the view told whether it differs.
    void updateCaption();
    void showCaption(bool unsaved);
    std::string shownCaption_;
    // Before the editor's text is thrown away: with changes not saved, asks
    // whether to save them. False when the action must not go on. A program
    // started with /exec never asks.
    bool settleUnsavedChanges();

    MainWindowView& view_;
    MessageWindowPresenter& messageWindow_;
    ReplaceDialogPresenter& replaceDialog_;
    KeyDialogPresenter& keyDialog_;
    MousePickerPresenter& mousePicker_;
    AboutBoxPresenter& aboutBox_;
    bool startedHidden_ = false;
    bool ended_ = false;
    bool minimisedInstead_ = false;  // hidden without a notification area
    // The notification icon (false: the desktop has no notification area)
    // and the subclassing that lets its mouse events reach the window.
    bool afegirIcona(const std::string& text) { return view_.showNotificationIcon(text); }
    void treureIcona() { view_.removeNotificationIcon(); }
    void subclassarFinestra() { finestraSubclassada_ = true; }
    void restaurarFinestra() { finestraSubclassada_ = false; }
    bool finestraSubclassada_ = false;
    // The icon's tooltip is changed by taking the icon down and putting it up again.
    void replaceIcon(const std::string& tooltip);
    bool toldNoNotificationArea_ = false;
    // The run line not yet in the status fields, and when they last changed.
    bool runLinePending_ = false;
    int pendingIndex_ = 0;
    std::string pendingLine_;
    long long lastShownMs_ = 0;  // on the coarse clock
    // The system's name behind Text2.
    std::string fileName_;
    // What the common file dialog remembers between uses (system names).
    std::string dialogFileName_;
    std::string dialogDirectory_;
    // The editor text as last opened or saved (UTF-8), by its length and
    // hash: a copy would double what a large program takes. And the file it
    // came from or went to (empty for a program never saved).
    struct Fingerprint {
        std::size_t size, hash;
        bool operator==(const Fingerprint&) const = default;
    };
    static Fingerprint fingerprint(std::string_view text) { return {text.size(), std::hash<std::string_view>{}(text)}; }
    Fingerprint savedText_ = fingerprint("");
    std::string savedName_;
    // The name a new program is offered under, until it is saved or
    // another is opened; the file the caption names is either.
    std::string newProgramName_;
    const std::string& programName() const { return savedName_.empty() ? newProgramName_ : savedName_; }
    // How the program's file is written: its encoding, its line break, and
    // whether its last line has one (a new program: 1252, CR LF, without).
    TextEncoding programEncoding_ = TextEncoding::Ansi;
    LineBreak programLineBreak_ = LineBreak::CrLf;
    bool programEndsWithLineBreak_ = false;
};

}  // namespace torvic
