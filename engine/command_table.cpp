// The 37 keywords of the command language, in the order the dispatcher
// compares them: the one place where a keyword is spelt out.
#include "engine/commands.h"
#include "textcmd/commands.h"

namespace torvic {
namespace {

// Hints: the parameter template the editor shows for the keyword under the caret.
constexpr std::array<CommandRow, kCommandCount> kCommands = {{
    {"wait", cmdWait, "wait(ms,minuts)"},
    {"exec", cmdExec, "exec(\"programa\",mode,id_programa)"},
    {"execdoc", cmdExecdoc, "execdoc(\"document\",mode,funcio)"},
    {"send", cmdSend, "send(\"text_a_enviar\",esperar)"},
    {"goto", cmdGoto, "goto(linia,vegades)"},
    {"focu", cmdFocu, "focu(id_program)"},
    {"time", cmdTime, "time(hora)"},
    {"date", cmdDate, "date(dia/mes/any)"},
    {"msg", cmdMsg, "MSG(\"Text per mostrar\",tipus_missatge,\"Titol\")"},
    {"mouse", cmdMouse, "mouse(x,y,esquerra,central,dret,moviment_de_roda)"},
    {"ifmouse", cmdIfmouse, "ifmouse(x1,y1,x2,y2)"},
    {"beep", cmdBeep, "beep()"},
    {"stop", cmdStop, "stop()"},
    {"end", cmdStop, "end()"},
    {"off", cmdOff, "off(modalitat,acció)"},
    {"logoff", cmdLogoff, "logoff(modalitat)"},
    {"reboot", cmdReboot, "reboot(modalitat)"},
    {"standby", cmdStandby, "standby()"},
    {"iftime", cmdIftime, "iftime(hora1,hora2)"},
    {"ifdate", cmdIfdate, "ifdate(dia1,dia2,son_dies_setmanals)"},
    {"copy", cmdCopy, "copy(\"origen\",\"destí\")"},
    {"xcopy", cmdXcopy, "xcopy(\"fitxer1\",\"fitxer2\",\"parametres\")"},
    {"open", textcmd::cmdOpen, "open(\"nom_del_fitxer\")"},
    {"repl", textcmd::cmdRepl, "repl(\"text\",\"text\",maxremp,no_discr_majusc_minusc,replaçar_tota_la_linia)"},
    {"pos", textcmd::cmdPos, "pos(n_caracters)"},
    {"line", textcmd::cmdLine, "line(linia,n_caracters)            "},
    {"search", textcmd::cmdSearch, "search(\"text\",no_discr_majusc_minusc)"},
    {"write", textcmd::cmdWrite, "write()"},
    {"del", textcmd::cmdDel, "del(\"frase\",n_max,no_discr_majusc_minusc)"},
    {"deline", textcmd::cmdDeline, "deline(\"text\",num_max,no_discr_majusc_minusc)"},
    {"delinepart", textcmd::cmdDelinepart, "delinepart(\"delimitador_inic\",\"delimitador_final\",compt1,compt2,maxdel)"},
    {"delinechar", textcmd::cmdDelinechar, "delinechar(num_caracters_principi_a_eliminar,num_caracters_final_a_eliminar,maxlínies)"},
    {"save", textcmd::cmdSave, "save(\"nom_del_fitxer\")"},
    {"oemtoansi", textcmd::cmdOemtoansi, "oemtoansi()"},
    {"ansitooem", textcmd::cmdAnsitooem, "ansitooem()"},
    {"def", textcmd::cmdDef, "def(referencia_per_defecte)"},
    {"ref", textcmd::cmdRef, "REF(\"nom_fitxer\",\"seleccio_referencies <exclusió_referencies>\""},
}};

}  // namespace

const std::array<CommandRow, kCommandCount>& commandTable() { return kCommands; }

const CommandRow* findCommand(std::string_view keyword) {
    for (const CommandRow& row : kCommands)
        if (row.keyword == keyword) return &row;
    return nullptr;
}

}  // namespace torvic
