// The program file operations of the main window: open or reload, save,
// browse, save as, browse and open, new program. Files are 1252 or UTF-8
// text and are written back in the encoding they came in; their names are
// the system's.
#include <algorithm>
#include <filesystem>
#include <utility>

#include "base/cp1252.h"
#include "base/text_encoding.h"
#include "platform/conventions.h"
#include "platform/files.h"
#include "editor/main_window.h"
#include "script/script_file.h"

namespace torvic {
namespace {

namespace fs = std::filesystem;

bool hasWildcards(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

}  // namespace

void MainWindowPresenter::setFileName(const std::string& systemName) {
    fileName_ = systemName;
    view_.setText2(shownName(systemName));
}

std::string MainWindowPresenter::fileName() {
    const std::string shown = view_.text2();
    if (!fileName_.empty() && shown == shownName(fileName_)) return fileName_;
    return systemName(shown);
}

void MainWindowPresenter::onOpenClick() {
    std::string name = fileName();
    if (name.empty()) {
        name = currentDirectory();
        setFileName(name);
    }
    openProgram(name, false);
}

namespace {

// Why a file cannot be opened as a program, or nothing when `bytes` holds it.
std::optional<std::string> openRefusal(const std::string& name, const std::optional<std::string>& bytes,
                                       const std::string& reason, bool noMatch) {
    std::error_code ec;
    if (!noMatch && fs::is_directory(systemPath(name), ec))
        return L1252("El nom especificat és una carpeta, no un fitxer. Introdueixi el nom del fitxer, o cliqui sobre "
                     "Navegar.");
    if (!bytes && (noMatch || !fs::exists(fs::symlink_status(systemPath(name), ec))))
        return L1252("El fitxer especificat no s'ha pogut trobar. Introdueixi el nom del fitxer, o cliqui sobre Navegar.");
    // It is there, but cannot be read: the reason, never "not found".
    if (!bytes)
        return L1252("El fitxer especificat no s'ha pogut obrir: ") + reason +
               L1252(". Introdueixi el nom d'un altre fitxer, o cliqui sobre Navegar.");
    if (bytes->find('\0') != std::string::npos)
        // The editor box cannot hold a NUL byte: shown, the file would be saved back changed.
        return L1252("El fitxer conté caràcters nuls (potser no és un fitxer de text): no es pot mostrar tal com és i no "
                     "s'ha obert.");
    return std::nullopt;
}

}  // namespace

void MainWindowPresenter::openProgram(std::string name, bool reload) {
    bool noMatch = false;  // a pattern that matched nothing: its folder is shown
    if (hasWildcards(name)) {
        const std::string match = conventions::firstMatchingFile(name);
        noMatch = match.empty();
        name = noMatch ? conventions::folderPart(name) : match;
        setFileName(name);
    }
    // The stamp before the bytes: a change while they are read shows as a change later.
    const std::optional<FileStamp> stamp = fileStamp(name);
    std::string reason;
    std::optional<std::string> bytes = noMatch ? std::nullopt : readFileBytes(name, &reason);
    if (const std::optional<std::string> refusal = openRefusal(name, bytes, reason, noMatch)) {
        view_.messageBox(*refusal, "Error en trobar el fitxer:", MessageIcon::Critical, false);
        // A file that could not be opened never becomes the target of the
        // next save: the field names the program again (or, with none, the
        // folder the user was looking in).
        setFileName(!programName().empty() ? programName() : conventions::folderPart(name));
        focusIfVisible();
        return;
    }
    const std::size_t diskHash = std::hash<std::string_view>{}(*bytes);
    ScriptFile file = readScriptFile(*bytes);
    bytes.reset();  // a large file is not held three times while the editor takes it
    // Changes not saved get the save question; otherwise the program's own.
    bool replace = reload ? true
                   : !startedHidden_ && hasUnsavedChanges()
                       ? settleUnsavedChanges()
                       : view_.editorText().empty() ||
                             view_.askYesNo(L1252("Si obriu un altre programa les modificacions que hagueu fet no es "
                                                  "guardaran. Voleu continuar?"),
                                            L1252("El programa actual es perdrà:"));
    if (replace) {
        // The editor takes the text over: nothing is kept beside it.
        if (isUtf8(file.encoding))
            view_.setEditorTextUtf8(std::exchange(file.textUtf8, {}));
        else
            view_.setEditorText(std::exchange(file.text, {}));
        file.text = file.textUtf8 = std::string();  // (a UTF-8 file's 1252 reading too)
        savedText_ = fingerprint(view_.editorTextUtf8());
        savedName_ = name;
        newProgramName_.clear();
        programStamp_ = stamp;
        programDiskHash_ = diskHash;
        askedAboutStamp_.reset();
        recovery().discard();  // what it kept was thrown away with the text
        programEncoding_ = file.encoding;
        programEndsWithLineBreak_ = file.endsWithLineBreak;
        programLineBreak_ = file.readLineFeeds ? LineBreak::Lf : LineBreak::CrLf;
        updateCaption();
        view_.clearStatus();  // it spoke of the program replaced
        if (isUtf8(file.encoding) && file.readLineFeeds)
            view_.showStatus(L1252("El fitxer és UTF-8 i no tenia salts de línia CR LF: s'ha llegit com a UTF-8, amb "
                                   "els LF com a finals de línia, i en guardar-lo s'escriurà en UTF-8 amb LF."));
        else if (isUtf8(file.encoding))
            view_.showStatus(L1252("El fitxer és UTF-8: s'ha llegit com a UTF-8, i en guardar-lo s'escriurà en "
                                   "UTF-8."));
        else if (file.readLineFeeds)
            view_.showStatus(L1252("El fitxer no tenia salts de línia CR LF: s'han llegit els LF com a finals de "
                                   "línia, i en guardar-lo s'escriurà amb LF."));
    } else if (!programName().empty()) {
        // The editor keeps its program: Text2 names its file again, so that
        // saving writes the file the caption names.
        setFileName(programName());
    }
    focusIfVisible();
}

bool MainWindowPresenter::saveTo(const std::string& name, bool saveAs) {
    // The program's own file, unchanged since it was read or written here,
    // is saved without a question: asked every time, "Sí" would become a
    // reflex. A change another program made is asked about instead.
    const bool own = !savedName_.empty() && name == savedName_;
    if (own && programFileChanged()) {
        if (!confirmOverwritingChange(name)) return false;
        return writeProgram(name);
    }
    std::error_code ec;
    const std::string existing = hasWildcards(name) ? conventions::firstMatchingFile(name)
                                 : fs::is_regular_file(systemPath(name), ec) ? name
                                                                             : std::string();
    // The question names the file it would replace.
    if (!existing.empty() && (saveAs || !own) &&
        !view_.askYesNo(shownName(existing) + "\r\rSobreescriure ?", "El fitxer ja existeix:")) {
        onSaveAsClick();
        return false;
    }
    return writeProgram(name);
}

bool MainWindowPresenter::programFileChanged() {
    if (savedName_.empty() || !programStamp_) return false;
    const std::optional<FileStamp> now = fileStamp(savedName_);
    if (!now || *now == *programStamp_) return false;
    // Touched but not changed (a copy with the same bytes, a new time): the same file.
    const std::optional<std::string> bytes = readFileBytes(savedName_);
    if (bytes && std::hash<std::string_view>{}(*bytes) == programDiskHash_) {
        programStamp_ = now;
        return false;
    }
    return true;
}

bool MainWindowPresenter::confirmOverwritingChange(const std::string& name) {
    switch (view_.askChoice(L1252("Un altre programa ha modificat el fitxer ") + shownName(name) +
                                L1252(" des que el vau obrir o guardar aquí. Si el guardeu, els seus canvis es "
                                      "perdran.\r\rConservar l'altra versió no guarda res (el vostre text continua a "
                                      "l'editor); Comparar l'obre en una finestra nova, com a programa nou."),
                            L1252("El fitxer ha canviat al disc:"),
                            {"Sobreescriure", "Comparar", L1252("Conservar l'altra versió")}, 2)) {
        case 0:
            return true;
        case 1:
            view_.openInNewWindow(name);
            break;
        default:
            break;
    }
    focusIfVisible();
    return false;
}

void MainWindowPresenter::rememberProgramFile(const std::string& name, std::string_view bytes) {
    programStamp_ = fileStamp(name);
    programDiskHash_ = std::hash<std::string_view>{}(bytes);
    askedAboutStamp_.reset();
}

bool MainWindowPresenter::writeProgram(const std::string& name) {
    const std::string text = view_.editorTextUtf8();
    TextEncoding encoding = programEncoding_;
    if (encoding == TextEncoding::Ansi) {
        std::string outside;
        utf8To1252(text, &outside);
        // Never lost without a word: UTF-8 holds them, or nothing is written.
        if (!outside.empty()) {
            if (!view_.askYesNo(L1252("El fitxer és de text 1252, i aquests caràcters del programa no hi caben: ") +
                                    characterCodes(outside) +
                                    L1252(".\r\rVoleu guardar el programa en UTF-8, que els conserva tots? Si "
                                          "responeu No, no es guardarà."),
                                L1252("Caràcters que es perdrien:")))
                return false;
            // UTF-8 with its mark where the system's own texts are 1252, so
            // that its programs know it.
            encoding = systemTextEncoding() == TextEncoding::Ansi ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
        }
    }
    // Through the same writer as the save command of scripts.
    const std::string bytes = scriptFileBytes(text, encoding, programEndsWithLineBreak_, programLineBreak_);
    std::string reason = L1252("el nom té caràcters comodí (* o ?)");
    if (hasWildcards(name) || !writeFileSafely(name, bytes, &reason)) {
        view_.messageBox(L1252("No s'ha pogut guardar ") + shownName(name) + ": " + reason +
                             L1252(".\r\rEspecifiqueu un nom per guardar. Si ja heu especificat un nom el fitxer "
                                   "estarà en ús o protegit d'escriptura."),
                         "Error en grabar el fitxer:", MessageIcon::Critical, false);
        focusIfVisible();
        return false;
    }
    savedText_ = fingerprint(text);
    savedName_ = name;
    newProgramName_.clear();
    rememberProgramFile(name, bytes);
    recovery().discard();
    programEncoding_ = encoding;
    updateCaption();
    return true;
}

void MainWindowPresenter::onSaveClick() {
    if (saveTo(fileName())) focusIfVisible();
}

void MainWindowPresenter::onBrowseClick() {
    const std::string name = fileName();
    if (!name.empty() && conventions::folderPart(name).size() == name.size()) dialogDirectory_ = name;  // a folder
    std::string chosen = view_.openFileDialog(dialogDirectory_, dialogFileName_, kFileFilter);
    if (!chosen.empty()) {
        dialogFileName_ = chosen;
        setFileName(chosen);
    }
    if (view_.text2().empty()) setFileName(currentDirectory());
}

void MainWindowPresenter::onSaveAsClick() {
    std::string chosen = view_.saveFileDialog(dialogDirectory_, dialogFileName_, kFileFilter);
    if (!chosen.empty()) {
        dialogFileName_ = chosen;
        setFileName(chosen);
        saveTo(chosen, true);
    } else {
        view_.messageBox("El fitxer no s'ha guardat. No heu especificat cap nom de fitxer nou per guardar.",
                         L1252("Atenció:"), MessageIcon::Exclamation, false);
    }
    focusIfVisible();
}

void MainWindowPresenter::onBrowseAndOpenClick() {
    onBrowseClick();
    onOpenClick();
}

void MainWindowPresenter::onNewProgram() {
    if (!settleUnsavedChanges()) return;
    view_.setEditorText("");
    savedText_ = fingerprint(view_.editorTextUtf8());
    savedName_.clear();
    programStamp_.reset();
    recovery().discard();
    newProgramName_ = currentDirectory() + conventions::folderSeparator() + "nou_programa.torvic";
    programEncoding_ = TextEncoding::Ansi;
    programEndsWithLineBreak_ = false;
    programLineBreak_ = LineBreak::CrLf;
    updateCaption();
    view_.clearStatus();
    setFileName(newProgramName_);
    view_.setText3("0");
    setText4("");
    focusIfVisible();
}

}  // namespace torvic
