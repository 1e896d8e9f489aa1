#include "editor/tajuda.h"

#include "base/cp1252.h"
#include "base/text.h"

namespace torvic {
namespace {

struct Hint {
    std::string_view keyword;
    std::string_view text;  // UTF-8 in the source; Q marks a double quote
};

// One entry per command keyword, in the order they are compared.
constexpr Hint kHints[] = {
    {"wait", "wait(ms,minuts)"},
    {"exec", "exec(QprogramaQ,mode,id_programa)"},
    {"execdoc", "execdoc(QdocumentQ,mode,funcio)"},
    {"send", "send(Qtext_a_enviarQ,esperar)"},
    {"goto", "goto(linia,vegades)"},
    {"focu", "focu(id_program)"},
    {"time", "time(hora)"},
    {"date", "date(dia/mes/any)"},
    {"msg", "MSG(QText per mostrarQ,tipus_missatge,QTitolQ)"},
    {"mouse", "mouse(x,y,esquerra,central,dret,moviment_de_roda)"},
    {"ifmouse", "ifmouse(x1,y1,x2,y2)"},
    {"beep", "beep()"},
    {"stop", "stop()"},
    {"end", "end()"},
    {"off", "off(modalitat,acció)"},
    {"logoff", "logoff(modalitat)"},
    {"reboot", "reboot(modalitat)"},
    {"standby", "standby()"},
    {"iftime", "iftime(hora1,hora2)"},
    {"ifdate", "ifdate(dia1,dia2,son_dies_setmanals)"},
    {"copy", "copy(QorigenQ,QdestíQ)"},
    {"xcopy", "xcopy(Qfitxer1Q,Qfitxer2Q,QparametresQ)"},
    {"open", "open(Qnom_del_fitxerQ)"},
    {"repl", "repl(QtextQ,QtextQ,maxremp,no_discr_majusc_minusc,replaçar_tota_la_linia)"},
    {"del", "del(QfraseQ,n_max,no_discr_majusc_minusc)"},
    {"delinepart", "delinepart(Qdelimitador_inicQ,Qdelimitador_finalQ,compt1,compt2,maxdel)"},
    {"delinechar", "delinechar(num_caracters_principi_a_eliminar,num_caracters_final_a_eliminar,maxlínies)"},
    {"pos", "pos(n_caracters)"},
    {"line", "line(linia,n_caracters)            "},
    {"search", "search(QtextQ,no_discr_majusc_minusc)"},
    {"write", "write()"},
    {"deline", "deline(QtextQ,num_max,no_discr_majusc_minusc)"},
    {"save", "save(Qnom_del_fitxerQ)"},
    {"oemtoansi", "oemtoansi()"},
    {"ansitooem", "ansitooem()"},
    {"def", "def(referencia_per_defecte)"},
    {"ref", "REF(Qnom_fitxerQ,Qseleccio_referencies <exclusió_referencies>Q"},
};

}  // namespace

std::string TAjuda(std::string_view TextComanda) {
    const std::string keyword = toLower1252(trimBlanks(TextComanda));
    for (const Hint& h : kHints) {
        if (h.keyword != keyword) continue;
        std::string t = L1252(h.text);
        for (char& c : t)
            if (c == 'Q') c = '"';
        return t;
    }
    return "";
}

}  // namespace torvic
