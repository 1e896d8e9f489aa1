// The program file operations of the main window: open or reload, save,
// browse, save as, browse and open, new program.
#include <algorithm>
#include <filesystem>

#include "base/cp1252.h"
#include "platform/conventions.h"
#include "platform/files.h"
#include "editor/main_window.h"
#include "script/script_file.h"

namespace torvic {
namespace {

namespace fs = std::filesystem;

bool hasWildcards(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

}  // namespace

void MainWindowPresenter::onOpenClick() {
    std::string name = view_.text2();
    if (name.empty()) {
        name = currentDirectory();
        view_.setText2(name);
    }
    if (hasWildcards(name)) {
        const std::string match = conventions::firstMatchingFile(name);
        name = match.empty() ? conventions::folderPart(name) : match;
        view_.setText2(name);
    }
    std::optional<std::string> bytes = readFileBytes(name);
    if (!bytes) {
        view_.messageBox("El fitxer especificat no s'ha pogut trobar. Introdueixi el nom del fitxer, o cliqui sobre "
                         "Navegar.",
                         "Error en trobar el fitxer:", MessageIcon::Critical, false);
        focusIfVisible();
        return;
    }
    bool readLineFeeds = false;
    std::string text = scriptTextFromBytes(*bytes, &readLineFeeds);
    // Changes not saved get the save question; otherwise the program's own.
    bool replace = !startedHidden_ && hasUnsavedChanges()
                       ? settleUnsavedChanges()
                       : view_.editorText().empty() ||
                             view_.askYesNo(L1252("Si obriu un altre programa les modificacions que hagueu fet no es "
                                                  "guardaran. Voleu continuar?"),
                                            L1252("El programa actual es perdrà:"));
    if (replace) {
        view_.setEditorText(text);
        savedText_ = view_.editorText();
        savedName_ = name;
        updateCaption();
        if (readLineFeeds)
            view_.showStatus(L1252("El fitxer no tenia salts de línia CR LF: s'han llegit els LF com a finals de "
                                   "línia, i en guardar-lo s'escriurà amb CR LF."));
    }
    focusIfVisible();
}

bool MainWindowPresenter::saveTo(const std::string& name) {
    std::error_code ec;
    bool exists = hasWildcards(name) ? !conventions::firstMatchingFile(name).empty() : fs::is_regular_file(name, ec);
    if (exists && !view_.askYesNo("Sobreescriure ?", "El fitxer ja existeix:")) {
        onSaveAsClick();
        return false;
    }
    return writeProgram(name);
}

bool MainWindowPresenter::writeProgram(const std::string& name) {
    if (!view_.confirmCharactersLost()) return false;  // never lost without a word
    // The editor text is written exactly as it is, through the same writer
    // as the save command of scripts.
    if (hasWildcards(name) || !writeFileSafely(name, view_.editorText())) {
        view_.messageBox(L1252("Especifiqueu un nom per guardar. Si ja heu especificat un nom el fitxer estarà en "
                               "ús o protegit d'escriptura."),
                         "Error en grabar el fitxer:", MessageIcon::Critical, false);
        focusIfVisible();
        return false;
    }
    savedText_ = view_.editorText();
    savedName_ = name;
    updateCaption();
    return true;
}

void MainWindowPresenter::onSaveClick() {
    if (saveTo(view_.text2())) focusIfVisible();
}

void MainWindowPresenter::onBrowseClick() {
    std::string name = view_.text2();
    if (!name.empty() && conventions::folderPart(name).size() == name.size()) dialogDirectory_ = name;  // a folder
    std::string chosen = view_.openFileDialog(dialogDirectory_, dialogFileName_, kFileFilter);
    if (!chosen.empty()) {
        dialogFileName_ = chosen;
        view_.setText2(chosen);
    }
    if (view_.text2().empty()) view_.setText2(currentDirectory());
}

void MainWindowPresenter::onSaveAsClick() {
    std::string chosen = view_.saveFileDialog(dialogDirectory_, dialogFileName_, kFileFilter);
    if (!chosen.empty()) {
        dialogFileName_ = chosen;
        view_.setText2(chosen);
        saveTo(chosen);
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
    savedText_ = view_.editorText();
    savedName_.clear();
    updateCaption();
    view_.setText2(currentDirectory() + conventions::folderSeparator() + "nou_programa.torvic");
    view_.setText3("0");
    setText4("");
    focusIfVisible();
}

}  // namespace torvic
