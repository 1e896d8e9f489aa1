#include "editor/main_window_form.h"

#include "editor/main_window.h"

namespace torvic {

using P = MainWindowPresenter;

const Form<MainWindowPresenter>& mainWindowForm() {
    // The file controls lie over Frame3 but belong to the window itself.
    // Buttons and frames are in 9.75 points, the rest in the window's 8.25.
    static const FormControl<P> controls[] = {
        {ControlKind::Frame, "Frame3", "", "Fitxer   .torvic:", "", {120, 120, 8655, 1335}, nullptr, Plain, 9.75},
        {ControlKind::Button, "Command10", "", "Navegar i Obrir", "Navega al disc dur i obre el fitxer (Control+O)", {240, 480, 1545, 375}, &P::onBrowseAndOpenClick, Plain, 9.75},
        {ControlKind::Button, "Command7", "", "Guardar com..", "Anomena i desa (Control+S)", {1920, 480, 1425, 375}, &P::onSaveAsClick, Plain, 9.75},
        {ControlKind::Button, "Command1", "", "-> Obrir", "Obre o recarrega el nom del fitxer escrit", {7800, 360, 855, 255}, &P::onOpenClick, Plain, 9.75},
        {ControlKind::Button, "Command2", "", "<- Guardar", "Guarda amb el nom actual", {7560, 600, 1095, 255}, &P::onSaveClick, Plain, 9.75},
        {ControlKind::Field, "Text2", "", "", "", {240, 960, 8055, 360}},
        {ControlKind::Button, "Command6", "", "...", "Busca nom del fitxer al disc dur", {8280, 960, 375, 360}, &P::onBrowseClick, Bold, 8.25},
        {ControlKind::Editor, "Text1", "", "", "", {120, 1560, 8655, 3855}},
        {ControlKind::Frame, "Frame1", "", "Línia d'execució:", "", {120, 5520, 3855, 975}, nullptr, Plain, 9.75},
        {ControlKind::Field, "Text3", "Frame1", "0", "Línia a executar", {120, 240, 1215, 285}, nullptr, RightAligned},
        {ControlKind::Frame, "Frame4", "Frame1", "Posició actual:", "", {1920, 0, 1935, 510}, nullptr, Plain, 9.75},
        {ControlKind::Label, "Label7", "Frame4", "Línia:", "", {105, 240, 465, 255}},
        {ControlKind::Label, "Label5", "Frame4", "0", "", {570, 240, 630, 255}},
        {ControlKind::Label, "Label8", "Frame4", "Col:", "", {1215, 240, 315, 255}},
        {ControlKind::Label, "Label6", "Frame4", "0", "", {1530, 240, 390, 255}},
        {ControlKind::Field, "Text4", "Frame1", "", "", {120, 600, 3615, 285}, nullptr, ReadOnly},
        {ControlKind::Frame, "Frame2", "", "Procés d'execució:", "", {4080, 5520, 4695, 975}, nullptr, Plain, 9.75},
        {ControlKind::Button, "Command9", "Frame2", "Executa tot", "Executa des del principi (Majuscules+F5)", {120, 360, 1215, 375}, &P::onRunAll, Plain, 9.75},
        {ControlKind::Button, "Command8", "Frame2", "Executa Ocult", "Executar de forma Oculta (Control+F5)", {1320, 360, 1440, 375}, &P::onRunHidden, Plain, 9.75},
        {ControlKind::Button, "Command4", "Frame2", "Stop", "Parar l'execució (F4)", {2760, 360, 735, 375}, &P::onStopRun, Plain, 9.75},
        {ControlKind::Button, "Command3", "Frame2", "Cont Exec", "Continuar Execució (F5)", {3480, 360, 1095, 375}, &P::onContinueRun, Plain, 9.75},
        {ControlKind::Label, "Label2", "Frame2", "Majc+F5", "", {480, 720, 975, 255}},
        {ControlKind::Label, "Label3", "Frame2", "Ctrl+F5", "", {1800, 720, 735, 255}},
        {ControlKind::Label, "Label4", "Frame2", "F4", "", {3000, 720, 615, 255}},
        {ControlKind::Label, "Label1", "Frame2", "F5", "", {3960, 720, 615, 255}},
        {ControlKind::Button, "Command5", "", "End", "", {8040, 0, 735, 255}, &P::onEnd, Plain, 9.75},
    };
    static const Form<P> form = makeForm<P>("Torvic", 8910, 6570, 8.25, controls);
    return form;
}

std::span<const FormMenu> mainWindowMenus() {
    static const FormMenuItem fitxer[] = {
        {"nou", "&Nou programa", "Ctrl+N", &P::onNewProgram},
        {"buscar", "&Buscar fitxer", "Ctrl+B", &P::onBrowseClick},
        {"Obrir", "&Obrir", "Ctrl+O", &P::onBrowseAndOpenClick},
        {"Guardar", "&Guardar", "Ctrl+S", &P::onSaveClick},
        {"Guardarcom", "Guardar &com...", "Ctrl+A", &P::onSaveAsClick},
        {"Fitxer_guio3", "-", "", nullptr},
        {"Fitxer_Iconitzar", "&Iconitzar", "Ctrl+I", &P::onIconise},
        {"separador2", "-", "", nullptr},
        {"Sortir", "&Sortir", "", &P::onExit},
    };
    static const FormMenuItem eines[] = {
        {"Eines_Codificar", "Codificar/&Descodificar", "Ctrl+D", &P::onEncode},
        {"Eines_guio", "-", "", nullptr},
        {"EExecutar", "&Executar", "F5", &P::onMenuContinueRun},
        {"Ocult", "Executa &Ocultat", "Ctrl+F5", &P::onMenuRunHidden},
        {"executartot", "Executar &tot", "Shift+F5", &P::onMenuRunAll},
        {"separador3", "-", "", nullptr},
        {"Atura", "&Atura el procés", "F4", &P::onStopRun},
        {"separadorb1", "-", "", nullptr},
        {"posicio_rat", "&Posició del Ratolí", "Ctrl+P", &P::onMousePosition},
        {"Substituir", "&Substituir", "Ctrl+R", &P::onReplace},
    };
    static const FormMenuItem rcPopup[] = {
        {"RCPopup_Maximitzar", "Maximitzar", "", &P::onTrayRestore},
        {"RCPopup_guio", "-", "", nullptr},
        {"RCPopup_Aturat", "Aturat", "", &P::onTrayContinue, true, false},
        {"RCPopup_Executant", "Executant-se", "", &P::onTrayPause, true, true},
        {"RCPopup_guio2", "-", "", nullptr},
        {"RCpopup_Sortir", "&Sortir", "", &P::onTrayExit},
    };
    static const FormMenuItem ajuda[] = {
        {"comandes", "&Comandes i sintaxis", "F1", &P::onManual},
        {"Ajuda_Imprimir", "&Imprimir manual del programa", "", &P::onPrintManual},
        {"web", "&Web del programa", "", &P::onWebPage},
        {"separador", "-", "", nullptr},
        {"sobre", "En quant a Torvic...", "", &P::onAbout},
    };
    static const FormMenu menus[] = {
        {"&Fitxer", false, fitxer},
        {"&Eines", false, eines},
        {"RCPopup", true, rcPopup},
        {"&Ajuda", false, ajuda},
    };
    return menus;
}

}  // namespace torvic
