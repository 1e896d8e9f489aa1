#include "editor/main_window_form.h"

#include "editor/main_window.h"

namespace torvic {

using P = MainWindowPresenter;

std::span<const FormControl> mainWindowControls() {
    static const FormControl controls[] = {
        {FormControl::Frame, "Frame3", "", "Fitxer   .torvic:", "", nullptr},
        {FormControl::Button, "Command10", "", "Navegar i Obrir", "Navega al disc dur i obre el fitxer (Control+O)",
         &P::onBrowseAndOpenClick},
        {FormControl::Button, "Command7", "", "Guardar com..", "Anomena i desa (Control+S)", &P::onSaveAsClick},
        {FormControl::Button, "Command1", "", "-> Obrir", "Obre o recarrega el nom del fitxer escrit", &P::onOpenClick},
        {FormControl::Button, "Command2", "", "<- Guardar", "Guarda amb el nom actual", &P::onSaveClick},
        {FormControl::Field, "Text2", "", "", "", nullptr},
        {FormControl::Button, "Command6", "", "...", "Busca nom del fitxer al disc dur", &P::onBrowseClick},
        {FormControl::Editor, "Text1", "", "", "", nullptr},
        {FormControl::Frame, "Frame1", "", "Línia d'execució:", "", nullptr},
        {FormControl::Field, "Text3", "Frame1", "0", "Línia a executar", nullptr},
        {FormControl::Frame, "Frame4", "Frame1", "Posició actual:", "", nullptr},
        {FormControl::Label, "Label7", "Frame4", "Línia:", "", nullptr},
        {FormControl::Label, "Label5", "Frame4", "0", "", nullptr},
        {FormControl::Label, "Label8", "Frame4", "Col:", "", nullptr},
        {FormControl::Label, "Label6", "Frame4", "0", "", nullptr},
        {FormControl::Field, "Text4", "Frame1", "", "", nullptr},
        {FormControl::Frame, "Frame2", "", "Procés d'execució:", "", nullptr},
        {FormControl::Button, "Command9", "Frame2", "Executa tot", "Executa des del principi (Majuscules+F5)",
         &P::onRunAll},
        {FormControl::Button, "Command8", "Frame2", "Executa Ocult", "Executar de forma Oculta (Control+F5)",
         &P::onRunHidden},
        {FormControl::Button, "Command4", "Frame2", "Stop", "Parar l'execució (F4)", &P::onStopRun},
        {FormControl::Button, "Command3", "Frame2", "Cont Exec", "Continuar Execució (F5)", &P::onContinueRun},
        {FormControl::Label, "Label2", "Frame2", "Majc+F5", "", nullptr},
        {FormControl::Label, "Label3", "Frame2", "Ctrl+F5", "", nullptr},
        {FormControl::Label, "Label4", "Frame2", "F4", "", nullptr},
        {FormControl::Label, "Label1", "Frame2", "F5", "", nullptr},
        {FormControl::Button, "Command5", "", "End", "", &P::onEnd},
    };
    return controls;
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
