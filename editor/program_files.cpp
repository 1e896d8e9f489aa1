// The program file operations of the main window: open or reload, save,
// browse, save as, browse and open, new program.
#include <algorithm>
#include <filesystem>
#include <fnmatch.h>

#include "base/cp1252.h"
#include "platform/files.h"
#include "editor/main_window.h"
#include "script/script_file.h"

namespace torvic {
namespace {

namespace fs = std::filesystem;

bool hasWildcards(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// The folder part of a name, up to and including its last "/".
std::string folderPart(const std::string& name) {
    std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? "" : name.substr(0, slash + 1);
}

// The first ordinary file (not hidden, not a folder) that matches a pattern,
// in name order; empty when none does.
std::string firstMatch(const std::string& pattern) {
    std::string folder = folderPart(pattern);
    std::string namePattern = pattern.substr(folder.size());
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder.empty() ? "." : folder, ec)) {
        std::string name = e.path().filename().string();
        if (name.starts_with('.') || !e.is_regular_file(ec)) continue;
        if (fnmatch(namePattern.c_str(), name.c_str(), 0) == 0) names.push_back(name);
    }
    if (names.empty()) return "";
    return *std::min_element(names.begin(), names.end());
}

}  // namespace

void Torvic::Command1_Click() {
    std::string name = view_.text2();
    if (name.empty()) {
        name = currentDirectory();
        view_.setText2(name);
    }
    if (hasWildcards(name)) {
        name = folderPart(name) + firstMatch(name);
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

bool Torvic::saveTo(const std::string& name) {
    std::error_code ec;
    bool exists = hasWildcards(name) ? !firstMatch(name).empty() : fs::is_regular_file(name, ec);
    if (exists && !view_.askYesNo("Sobreescriure ?", "El fitxer ja existeix:")) {
        Command7_Click();
        return false;
    }
    return writeProgram(name);
}

bool Torvic::writeProgram(const std::string& name) {
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

void Torvic::Command2_Click() {
    if (saveTo(view_.text2())) focusIfVisible();
}

void Torvic::Command6_Click() {
    std::string name = view_.text2();
    if (name.ends_with('/')) dialogDirectory_ = name;
    std::string chosen = view_.openFileDialog(dialogDirectory_, dialogFileName_, kFileFilter);
    if (!chosen.empty()) {
        dialogFileName_ = chosen;
        view_.setText2(chosen);
    }
    if (view_.text2().empty()) view_.setText2(currentDirectory());
}

void Torvic::Command7_Click() {
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

void Torvic::Command10_Click() {
    Command6_Click();
    Command1_Click();
}

void Torvic::nou_Click() {
    if (!settleUnsavedChanges()) return;
    view_.setEditorText("");
    savedText_ = view_.editorText();
    savedName_.clear();
    updateCaption();
    view_.setText2(currentDirectory() + "/nou_programa.torvic");
    view_.setText3("0");
    setText4("");
    focusIfVisible();
}

}  // namespace torvic
