#include "editor/main_window.h"

#include <algorithm>
#include <filesystem>
#include <ctime>
#include <fstream>

#include "base/cp1252.h"
#include "base/errors.h"
#include "base/numeric.h"
#include "base/text.h"
#include "script/encoding.h"
#include "editor/caret.h"
#include "editor/command_line.h"
#include "editor/manual.h"
#include "editor/editor_texts.h"
#include "platform/clock.h"
#include "platform/conventions.h"
#include "platform/files.h"
#include "script/script_file.h"
#include "editor/syntax_hint.h"
#include "engine/commands.h"
#include "textcmd/text_algorithms.h"

namespace torvic {
namespace {

// A name from the command line, as the absolute name it opens: one relative
// to the current folder `directory` is joined to it. As with commandLineName,
// a name no file has as it is given is read as spelled the Windows way.
std::string absoluteName(const std::string& directory, const std::string& given) {
    const auto inFolder = [&directory](const std::string& name) {
        if (name.empty() || systemPath(name).is_absolute()) return name;
        return systemNameOf((systemPath(directory) / systemPath(name)).lexically_normal());
    };
    const std::string asGiven = inFolder(given);
    std::error_code ec;
    return std::filesystem::exists(systemPath(asGiven), ec) ? asGiven : inFolder(nativeSeparators(given));
}

}  // namespace

const char* const MainWindowPresenter::kCaption =
    "Torvic XP v1.10   (Comandes de Procés, de tractament de textes, base dades, ratolí, codificació)";
const char* const MainWindowPresenter::kFileFilter =
    "Torvic executables (*.torVic)|*.torvic|Archivo por lotes MS-DOS (*.bat)|*.bat|Texto (*.txt)|*.txt";

MainWindowPresenter::MainWindowPresenter(MainWindowView& view, Platform& platform,
                                         MessageWindowPresenter& messageWindow, ReplaceDialogPresenter& replaceDialog,
                                         KeyDialogPresenter& keyDialog, MousePickerPresenter& mousePicker,
                                         AboutBoxPresenter& aboutBox)
    : engine(*this, platform),
      view_(view),
      messageWindow_(messageWindow),
      replaceDialog_(replaceDialog),
      keyDialog_(keyDialog),
      mousePicker_(mousePicker),
      aboutBox_(aboutBox) {
    programDirectory = conventions::currentFolder;
    currentDirectory = conventions::currentFolder;
    recoveryFolder = conventions::recoveryFolder;
    // "Tancar" of the message window ends the program as "End" does.
    messageWindow_.onEndProgram = [this] { onEnd(); };
}

void MainWindowPresenter::onLoad(const std::string& commandLine) {
    StartRequest request = parseCommandLine(commandLine);
    switch (request.kind) {
        case StartRequest::RunHidden:
            startedHidden_ = true;
            view_.setVisible(false);
            setFileName(absoluteName(currentDirectory(), request.file));
            onOpenClick();
            onRunHidden();
            break;
        case StartRequest::Edit:
            setFileName(absoluteName(currentDirectory(), request.file));
            onOpenClick();
            break;
        case StartRequest::OpenAsNew:
            showAsNewProgram(absoluteName(currentDirectory(), request.file));
            break;
        case StartRequest::Nothing: {
            std::string dir = currentDirectory();
            if (dir.empty() || dir.back() != conventions::folderSeparator()) dir += conventions::folderSeparator();
            setFileName(dir);
            break;
        }
    }
    view_.moveEndButtonOutOfSight();
    updateCaption();
    if (!startedHidden_) offerRecovery();
}

MainWindowView::CaretLine MainWindowView::editorCaretLine() {
    const std::string text = editorText();
    const std::size_t caret = std::min(editorCaret(), text.size());
    const CaretPosition pos = caretPosition(text, caret);
    const std::size_t start = caret - static_cast<std::size_t>(pos.column);
    const std::size_t end = std::min(text.find(CRLF, start), text.size());
    return {pos.line, pos.column, text.substr(start, end - start)};
}

bool MainWindowView::editorHoldsAfterCaretLine(char c) {
    const std::string text = editorText();
    const std::size_t caret = std::min(editorCaret(), text.size());
    const std::size_t end = text.find(CRLF, caret);
    return end != std::string::npos && text.find(c, end) != std::string::npos;
}

void MainWindowPresenter::onEditorChange() {
    showCaption(unsavedNow());
    // The copy is written once the keys stop for a moment.
    view_.startRecoveryTimer(kRecoveryDelayMs);
    if (recovery_) recovery_->noteActivity();
}

bool MainWindowPresenter::unsavedNow() {
    const std::optional<bool> modified = view_.editorModified();
    return modified ? *modified : hasUnsavedChanges();
}

void MainWindowPresenter::updateCaption() {
    const bool unsaved = hasUnsavedChanges();
    view_.setEditorModified(unsaved);
    showCaption(unsaved);
}

void MainWindowPresenter::showCaption(bool unsaved) {
    std::string caption = unsaved ? "*" : "";
    if (const std::string& name = programName(); !name.empty())
        caption += shownName(name.substr(conventions::folderPart(name).size())) + " - ";
    caption += L1252(kCaption);
    if (caption == shownCaption_) return;
    shownCaption_ = caption;
    view_.setCaption(caption);
}

void MainWindowPresenter::onResize(int clientWidth, int clientHeight) {
    view_.applyLayout(resizeLayout(clientWidth, clientHeight));
}

void MainWindowPresenter::onEditorKeyUp() {
    // Only the caret's line is read: a key in a long text stays quick.
    const MainWindowView::CaretLine at = view_.editorCaretLine();
    view_.setCaretLabels(std::to_string(at.line), std::to_string(at.column));
    if (at.column <= 0) return;  // at column 0 the hint stays as it was
    // While a run waits, Text4 keeps showing the line being run.
    if (!engine.runButtonsEnabled()) return;
    // The keyword text runs from the line's start to its first "(", or to
    // the caret when the line has none; with a "(" on a later line it would
    // hold the line break, and name no command.
    std::string hint;
    if (const std::size_t paren = at.text.find('('); paren != std::string::npos)
        hint = TAjuda(std::string_view(at.text).substr(0, paren));
    else if (hint = TAjuda(std::string_view(at.text).substr(0, static_cast<std::size_t>(at.column)));
             !hint.empty() && view_.editorHoldsAfterCaretLine('('))
        hint.clear();
    setText4(hint);
    view_.setEditorTooltip(hint);
    view_.setText4Highlighted(!hint.empty());
}

void MainWindowPresenter::onFileNameKeyPress(int keyCode) {
    if (keyCode == 13) onOpenClick();
}

void MainWindowPresenter::setText4(const std::string& text) {
    view_.setText4(text);
    view_.setText4Tooltip(text);  // Text4_Change
    if (text.empty()) view_.setText4Highlighted(false);  // an empty field has the plain background
}

namespace {
constexpr long long kScreenRateMs = 16;
}  // namespace

void MainWindowPresenter::lineStarted(int index, const std::string& text) {
    pendingIndex_ = index;
    pendingLine_.assign(text);
    runLinePending_ = true;
    // A precise clock costs as much as a quick line: the coarse one is read.
    const long long now = coarseMilliseconds();
    if (now - lastShownMs_ < kScreenRateMs) return;
    lastShownMs_ = now;
    showPendingRunLine();
    tellDesktopBackend();
    view_.handlePendingInput();
}

void MainWindowPresenter::tellDesktopBackend() {
    if (toldDesktopBackend_) return;
    const std::string name = engine.run.platform.desktopName();
    if (name.empty()) return;  // no desktop command has reached one yet
    toldDesktopBackend_ = true;
    view_.showStatus(editor_texts::desktopBackend(name));
}

void MainWindowPresenter::showPendingRunLine() {
    if (!runLinePending_) return;
    runLinePending_ = false;
    view_.setText3(std::to_string(pendingIndex_));
    setText4(pendingLine_);
    view_.setRunLineMark(pendingIndex_);
    view_.repaintNow();
}

double MainWindowPresenter::startLine() {
    showPendingRunLine();
    try {
        return valorNumeric(view_.text3());
    } catch (const RunTimeError&) {
        return 0;  // a number too large to read: start at the top
    }
}

void MainWindowPresenter::runFinished() {
    tellDesktopBackend();
    setRunButtonsEnabled(true);
    setText3("Acabat");
    setText4("");
}

void MainWindowPresenter::setText3(const std::string& text) {
    showPendingRunLine();
    view_.setText3(text);
}

void MainWindowPresenter::setRunButtonsEnabled(bool enabled) {
    showPendingRunLine();
    view_.setRunButtonsEnabled(enabled);
    if (enabled) view_.setRunLineMark(-1);  // no run goes on
}

void MainWindowPresenter::onMenuContinueRun() {
    if (engine.runButtonsEnabled()) onContinueRun();
}

void MainWindowPresenter::onMenuRunHidden() {
    if (engine.runButtonsEnabled()) onRunHidden();
}

void MainWindowPresenter::onMenuRunAll() {
    if (engine.runButtonsEnabled()) onRunAll();
}

void MainWindowPresenter::hideToNotificationArea() {
    showPendingRunLine();
    subclassarFinestra();
    if (afegirIcona("Torvic Executant-se") || startedHidden_ || !view_.isVisible()) {
        view_.setVisible(false);
        return;
    }
    // No notification area: a window hidden now could never come back, so
    // it goes to the taskbar instead, and says so once.
    minimisedInstead_ = true;
    const bool minimised = view_.minimise();
    if (!toldNoNotificationArea_) {
        toldNoNotificationArea_ = true;
        view_.showStatus(minimised ? editor_texts::minimisedInstead() : editor_texts::minimiseAsked());
    }
}

void MainWindowPresenter::onIconise() { hideToNotificationArea(); }

void MainWindowPresenter::restoreFromNotificationArea() {
    minimisedInstead_ = false;
    restaurarFinestra();
    view_.setVisible(true);
    treureIcona();
}

void MainWindowPresenter::onExit() { onEnd(); }

void MainWindowPresenter::replaceIcon(const std::string& tooltip) {
    treureIcona();
    afegirIcona(tooltip);
}

void MainWindowPresenter::onTrayContinue() {
    view_.setTrayChecks(true, false);
    replaceIcon("Torvic Executat-se");
    onContinueRun();
}

void MainWindowPresenter::onTrayPause() {
    view_.setTrayChecks(false, true);
    replaceIcon("Torvic Pausat");
    onStopRun();
}

void MainWindowPresenter::onTrayExit() {
    // Shown first, so that a question about unsaved work has its window.
    restoreFromNotificationArea();
    onEnd();
}

void MainWindowPresenter::endProgram() {
    showPendingRunLine();
    // Work nobody chose to throw away (a program started hidden ends without
    // asking) stays in its copy.
    if (!workDiscarded_ && unsavedNow())
        writeRecoveryNow();
    else
        recovery().discard();
    ended_ = true;
    restaurarFinestra();
    treureIcona();
    view_.endProgram();
}

bool MainWindowPresenter::settleUnsavedChanges() {
    if (startedHidden_ || !hasUnsavedChanges()) return true;
    switch (view_.askSaveChanges(L1252("El programa té modificacions que no s'han guardat. Voleu guardar-les?"),
                                 "Modificacions sense guardar:")) {
        case SaveChoice::Discard:
            workDiscarded_ = true;
            recovery().discard();
            return true;
        case SaveChoice::Save:
            // To the program's own file (the name field may already name the
            // next one; a change another program made there is asked about),
            // or through "Guardar com.." for a program never saved.
            if (savedName_.empty())
                onSaveAsClick();
            else
                saveTo(savedName_);
            return !hasUnsavedChanges();  // a save that failed or was cancelled stops the action
        case SaveChoice::Cancel:
            break;
    }
    return false;
}

bool MainWindowPresenter::confirmEnd() {
    if (settleUnsavedChanges()) return true;
    // Kept open: a window hidden for a run comes back, with the text.
    if (!view_.isVisible()) restoreFromNotificationArea();
    return false;
}

void MainWindowPresenter::focusIfVisible() {
    if (view_.isVisible()) view_.focusEditor();
}

std::string MainWindowPresenter::manualFile(const std::string& name) { return conventions::programDataFile(programDirectory(), name); }

void MainWindowPresenter::onManual() { view_.showManual(manualHtml(), false); }

void MainWindowPresenter::onPrintManual() {
    const std::string path = manualFile("torvic.rtf");
    if (path.empty()) {
        view_.messageBox("El fitxer torvic.rtf no s'ha pogut trobar.", "Error en trobar un fitxer:",
                         MessageIcon::Critical, false);
        return;
    }
    // Without a printing service the desktop would do nothing with it: the
    // help window prints (or saves as PDF) instead; so it does when the
    // folder's name cannot be spelt in 1252, as the shell's names are.
    const std::string shown = shownName(path);
    if (engine.run.platform.canPrintDocuments() && systemName(shown) == path)
        ExecutarDocument(engine.run.platform, shown, 0, 2);
    else
        view_.showManual(manualHtml(), true);
}

void MainWindowPresenter::onWebPage() {
    // The program has no public page: the local manual stands in for it, as
    // the web page or else the RTF beside the program.
    std::string manual = manualFile("torvic.html");
    if (manual.empty()) manual = manualFile("torvic.rtf");
    if (manual.empty()) {
        view_.messageBox("No s'ha trobat el manual (torvic.html o torvic.rtf) a la carpeta del programa.",
                         "Web del programa:", MessageIcon::Critical, false);
        return;
    }
    if (view_.askYesNo("file://" + shownName(manual) + "\n\r" + "Voleu accedir-hi?", "Web del programa:",
                       MessageIcon::Information))
        view_.showManual(manualHtml(), false);
}

std::string MainWindowPresenter::editorCharactersOutside1252() {
    std::string outside;
    utf8To1252(view_.editorTextUtf8(), &outside);
    return outside;
}

void MainWindowPresenter::onEncode() {
    const std::string text = view_.editorText();
    if (text.empty()) return;
    // The encoding works on 1252 bytes: a character it has none for would
    // be lost.
    if (const std::string outside = editorCharactersOutside1252(); !outside.empty()) {
        view_.messageBox(L1252("El programa té caràcters que no són del joc de caràcters 1252 (") +
                             characterCodes(outside) +
                             L1252("), i la codificació amb clau només treballa amb text 1252. Canvieu-los o "
                                   "traieu-los abans de codificar o descodificar el programa."),
                         L1252("Atenció:"), MessageIcon::Exclamation, false);
        return;
    }
    keyDialog_.show();
    if (!keyDialog_.refusedCharacters.empty()) {
        view_.messageBox(L1252("La clau té caràcters que no són del joc de caràcters 1252 (") +
                             characterCodes(keyDialog_.refusedCharacters) + L1252("): no s'ha fet res."),
                         L1252("Atenció:"), MessageIcon::Exclamation, false);
        return;
    }
    if (keyDialog_.ClauCodificacio.empty()) return;
    if (keyDialog_.CodiDescodi == 1)
        view_.replaceEditorTextUtf8(cp1252::toUtf8(codificaText(keyDialog_.ClauCodificacio, text)));
    else if (keyDialog_.CodiDescodi == 2 && !isEncodedScript(text))
        // Decoding a text that was never encoded would only scramble it.
        view_.messageBox(L1252("El programa no està codificat (no comença amb la marca \"") +
                             std::string(trimBlanks(kEncodedMarker)) + L1252("\"): no s'ha descodificat."),
                         L1252("Atenció:"), MessageIcon::Exclamation, false);
    else if (keyDialog_.CodiDescodi == 2)
        view_.replaceEditorTextUtf8(cp1252::toUtf8(descodificaText(keyDialog_.ClauCodificacio, text)));
}

void MainWindowPresenter::ferSubstitucio() {
    // On the text without loss, so that characters 1252 cannot hold stay.
    const std::string text = view_.editorTextUtf8();
    if (text.empty()) return;
    replaceDialog_.show();
    if (!replaceDialog_.pVegadesValid || replaceDialog_.pVegades < -1) {
        view_.messageBox(L1252("El nombre màxim de substitucions ha de ser -1 o més, fins a 32767. "
                               "No s'ha substituït res."),
                         L1252("Atenció:"), MessageIcon::Exclamation, false);
        return;
    }
    // The whole text, or what follows the caret, with the first pVegades
    // occurrences (all for -1) replaced, exact case, without overlap.
    std::string changed = text;
    const std::size_t from = replaceDialog_.pnoPrincipi ? utf8Advance(text, 0, view_.editorCaret()) + 1 : 1;
    replaceFast(changed, static_cast<std::int32_t>(from), replaceDialog_.pTexte1, replaceDialog_.pTexte2,
                replaceDialog_.pVegades);
    if (changed != text) view_.replaceEditorTextUtf8(changed);
}

// ---- work not yet saved: the recovery copy, and files changed on disk ----

RecoveryCopy& MainWindowPresenter::recovery() {
    if (!recovery_) recovery_ = std::make_unique<RecoveryCopy>(recoveryFolder(), conventions::currentProcessId());
    return *recovery_;
}

RecoveryContent MainWindowPresenter::recoveryContent() {
    RecoveryContent c;
    c.programName = programName();
    c.programSaved = !savedName_.empty();
    c.encoding = programEncoding_;
    c.endsWithLineBreak = programEndsWithLineBreak_;
    c.lineBreak = programLineBreak_;
    c.savedSize = savedText_.size;
    c.savedHash = savedText_.hash;
    c.fileStamp = programStamp_;
    c.diskHash = programDiskHash_;
    c.text = view_.editorTextUtf8();
    return c;
}

void MainWindowPresenter::onRecoveryTimer() {
    if (ended_) return;
    if (!unsavedNow()) {
        recovery().discard();  // undone back to what was saved
        return;
    }
    workDiscarded_ = false;  // new work since
    recovery().writeLater(recoveryContent());
}

bool MainWindowPresenter::writeRecoveryNow() {
    if (ended_ || workDiscarded_ || !unsavedNow()) return false;
    return recovery().writeNow(recoveryContent());
}

namespace {

// A copy's time as people read it: "08/12/2026 a les 15:42".
std::string shownTime(std::time_t t) {
    char text[64] = "";
    if (const std::tm* local = std::localtime(&t)) std::strftime(text, sizeof text, "%d/%m/%Y a les %H:%M", local);
    return text;
}

}  // namespace

void MainWindowPresenter::offerRecovery() {
    for (const LeftRecovery& left : RecoveryCopy::findLeft(recoveryFolder())) {
        const RecoveryContent& c = left.content;
        const std::string program = c.programName.empty() ? L1252("sense nom") : shownName(c.programName);
        const int choice = view_.askChoice(
            L1252("Hi ha una còpia de recuperació del programa ") + program + L1252(", escrita el ") +
                shownTime(left.writtenAt) +
                L1252(", amb modificacions que no es van guardar.\r\rRecuperar la mostra a l'editor (el fitxer del "
                      "programa no canvia fins que la guardeu); Descartar l'esborra; Més tard la conserva per a la "
                      "propera vegada."),
            L1252("Recuperació del programa:"), {"Recuperar", "Descartar", L1252("Més tard")}, 0);
        std::error_code ec;
        if (choice == 1) std::filesystem::remove(systemPath(left.path), ec);
        if (choice != 0 || !settleUnsavedChanges()) continue;
        view_.setEditorTextUtf8(c.text);
        savedText_ = {c.savedSize, c.savedHash};
        savedName_ = c.programSaved ? c.programName : std::string();
        newProgramName_ = c.programSaved ? std::string() : c.programName;
        programStamp_ = c.fileStamp;
        programDiskHash_ = c.diskHash;
        askedAboutStamp_.reset();
        programEncoding_ = c.encoding;
        programEndsWithLineBreak_ = c.endsWithLineBreak;
        programLineBreak_ = c.lineBreak;
        setFileName(c.programName);
        workDiscarded_ = false;
        updateCaption();
        // The copy is this program's own from now on.
        writeRecoveryNow();
        std::filesystem::remove(systemPath(left.path), ec);
        view_.clearStatus();
        view_.showStatus(L1252("S'ha recuperat el programa: guardeu-lo per conservar les modificacions."));
        focusIfVisible();
        return;  // the others wait for another start
    }
}

void MainWindowPresenter::showAsNewProgram(const std::string& name) {
    setFileName(name);
    openProgram(name, false);
    if (savedName_ != name) return;  // it could not be read (and said so)
    // Not the file's any more: a save asks for a name of its own, and the
    // text counts as unsaved work.
    savedName_.clear();
    programStamp_.reset();
    newProgramName_ = conventions::folderPart(name) + "nou_programa.torvic";
    savedText_ = fingerprint("");
    setFileName(newProgramName_);
    updateCaption();
    view_.showStatus(L1252("Aquest és el text de ") + shownName(name) +
                     L1252(" tal com és al disc, com a programa nou: no té nom fins que el guardeu."));
}

void MainWindowPresenter::onWindowActivated() {
    if (askingAboutDisk_ || ended_ || !view_.isVisible() || !programFileChanged()) return;
    const std::optional<FileStamp> now = fileStamp(savedName_);
    if (askedAboutStamp_ == now) return;  // this change was offered already
    askedAboutStamp_ = now;
    if (unsavedNow()) {
        // The save will ask what to do with it.
        view_.showStatus(L1252("Un altre programa ha modificat ") + shownName(savedName_) +
                         L1252(": en guardar se us preguntarà què cal fer."));
        return;
    }
    askingAboutDisk_ = true;
    const bool again = view_.askYesNo(L1252("Un altre programa ha modificat el fitxer ") + shownName(savedName_) +
                                          L1252(".\r\rVoleu tornar-lo a llegir? Aquí no hi ha cap modificació sense "
                                                "guardar."),
                                      L1252("El fitxer ha canviat al disc:"));
    askingAboutDisk_ = false;
    if (again) openProgram(savedName_, true);
}

}  // namespace torvic
