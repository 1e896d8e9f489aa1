#include "editor/manual.h"

#include <map>
#include <string_view>
#include <vector>

#include "base/cp1252.h"
#include "engine/commands.h"

namespace torvic {
namespace {

struct Entry {
    const char* what;     // what the command does (UTF-8)
    const char* example;  // a line of a script
};

// What each keyword does, with an example; the syntax comes from the table.
const std::map<std::string_view, Entry>& entries() {
    static const std::map<std::string_view, Entry> m = {
        {"wait", {"Espera ms mil·lisegons; amb minuts, espera fins a l'hora que resulta, a minuts sencers.", "wait(2000)"}},
        {"exec", {"Engega un programa amb el mode de finestra (0 amagada, 1 normal, 2 minimitzada, 3 maximitzada, 4 normal sense focus, 6 minimitzada sense focus) i en desa l'identificador a id_programa (1 a 15).", "exec(\"gedit\",1,3)"}},
        {"execdoc", {"Obre (funcio 1), imprimeix (2) o explora (3) un document amb el programa que el sistema hi té associat.", "execdoc(\"informe.pdf\",1,1)"}},
        {"send", {"Tecleja el text a la finestra activa. Entre claus s'hi escriuen tecles: {ENTER}, {F4}, {LEFT 3}; + és majúscules, ^ control, % alt i ~ retorn. Amb esperar diferent de 0 espera que s'hagin processat.", "send(\"Hola{ENTER}\",1)"}},
        {"goto", {"Salta a la línia indicada (comptant des de 0 entre les línies no buides; negativa, relativa a la línia actual) tantes vegades com indica vegades; després continua.", "goto(0,5)"}},
        {"focu", {"Porta al davant la finestra del programa engegat amb aquest identificador.", "focu(3)"}},
        {"time", {"Espera fins a l'hora indicada (hores i minuts).", "time(14:30)"}},
        {"date", {"Espera, comprovant-ho cada mitjanit, fins al dia indicat; sense mes o any, els actuals.", "date(25/12)"}},
        {"msg", {"Mostra un missatge amb el botó Acceptar i el títol indicat; tipus_missatge 1 hi posa la icona d'informació, 2 la d'exclamació i 3 la d'error. L'execució continua quan es tanca.", "msg(\"Còpia\\nacabada\",1,\"Avís\")"}},
        {"mouse", {"Mou el punter a x,y (en píxels, en % de la pantalla, o relatiu amb + i -) i prem els botons: 1 clic, 2 doble clic, 3 deixar anar. El darrer paràmetre fa girar la roda.", "mouse(100,200,1)"}},
        {"ifmouse", {"Executa les línies fins al següent ifmouse només si el punter és dins del rectangle.", "ifmouse(0,0,100,100)"}},
        {"beep", {"Fa sonar el so d'avís del sistema.", "beep()"}},
        {"stop", {"Acaba l'execució.", "stop()"}},
        {"end", {"Acaba l'execució (com stop).", "end()"}},
        {"off", {"Apaga, reinicia o tanca la sessió segons l'acció; modalitat 1 força el tancament dels programes, 2 el dels que no responen, 3 tots dos. Sense paràmetres, apaga.", "off(1,1)"}},
        {"logoff", {"Tanca la sessió de l'usuari; modalitat com a off.", "logoff()"}},
        {"reboot", {"Reinicia l'ordinador; modalitat com a off.", "reboot(1)"}},
        {"standby", {"Posa l'ordinador en suspensió.", "standby()"}},
        {"iftime", {"Executa les línies fins al següent iftime només dins de la franja d'hores (pot passar de mitjanit).", "iftime(8,12)"}},
        {"ifdate", {"Executa les línies fins al següent ifdate només dins de la franja de dies del mes, de dates o, amb el tercer paràmetre, de dies de la setmana (1 diumenge a 7 dissabte).", "ifdate(2,6,1)"}},
        {"copy", {"Copia un fitxer; si el destí existeix, el substitueix.", "copy(\"dades.txt\",\"còpia.txt\")"}},
        {"xcopy", {"Copia carpetes en segon pla; /s i /e inclouen les subcarpetes.", "xcopy(\"dades\",\"còpia\",\"/s /e\")"}},
        {"open", {"Carrega un fitxer com a text de treball; el cursor va al principi.", "open(\"llista.txt\")"}},
        {"repl", {"Substitueix el text pel segon a partir del cursor, com a màxim maxremp vegades (0, totes), sense distingir majúscules o substituint la línia sencera si s'indica.", "repl(\"vell\",\"nou\",0,1,0)"}},
        {"pos", {"Avança (o retrocedeix) el cursor els caràcters indicats.", "pos(10)"}},
        {"line", {"Posa el cursor al principi de la línia indicada, més els caràcters indicats.", "line(3,0)"}},
        {"search", {"Busca el text a partir del cursor i deixa el cursor just després.", "search(\"Total:\")"}},
        {"write", {"Escriu el text entre cometes a la posició del cursor.", "write(\"nou text\")"}},
        {"del", {"Esborra el text a partir del cursor, com a màxim n_max vegades.", "del(\"  \",0)"}},
        {"deline", {"Esborra les línies que contenen el text; sense text, la línia del cursor.", "deline(\"ERROR\")"}},
        {"delinepart", {"Esborra, a cada línia, el tros entre els dos delimitadors (inclosos).", "delinepart(\"<\",\">\",0,0,0)"}},
        {"delinechar", {"Esborra caràcters del principi i del final de cada línia.", "delinechar(2,0,0)"}},
        {"save", {"Desa el text de treball al fitxer, tal com és.", "save(\"resultat.txt\")"}},
        {"oemtoansi", {"Converteix el text de treball de la pàgina de codis de consola a la de Windows.", "oemtoansi()"}},
        {"ansitooem", {"Converteix el text de treball de la pàgina de codis de Windows a la de consola.", "ansitooem()"}},
        {"def", {"Fixa el prefix de les referències que fa servir ref.", "def(ART)"}},
        {"ref", {"Extreu al fitxer les entrades del catàleg per les seves referències: llistes separades per comes, intervals amb _, exclusions entre < i >, i ; per afegir-hi una línia buida.", "ref(\"sortida.txt\",\"10,20_25<22>\")"}},
    };
    return m;
}

// The manual as a list of blocks, written out as RTF or HTML.
struct Block {
    enum Kind { Title, Section, Keyword, Paragraph, Code } kind;
    std::string text;  // UTF-8
};

std::vector<Block> manualBlocks() {
    std::vector<Block> out;
    out.push_back({Block::Title, "Torvic: comandes i sintaxis"});
    out.push_back({Block::Paragraph,
                   "Un programa de Torvic té una ordre per línia: una paraula clau i, en gairebé totes, els "
                   "paràmetres entre parèntesis, separats per comes. Els textos van entre cometes; es poden "
                   "unir amb + a codis de caràcter (13+10 és un salt de línia), i \\n i \\t dins d'un text són "
                   "un salt de línia i un tabulador. Una línia que comença amb ' o / és un comentari: no fa "
                   "res i l'execució continua. Una línia que no és cap ordre es mostra com a error i "
                   "l'execució continua."});
    out.push_back({Block::Section, "Les ordres"});
    for (const CommandRow& row : commandTable()) {
        const Entry& e = entries().at(row.keyword);
        out.push_back({Block::Keyword, std::string(row.keyword)});
        out.push_back({Block::Code, std::string(row.hint)});
        out.push_back({Block::Paragraph, e.what});
        out.push_back({Block::Paragraph, "Exemple:"});
        out.push_back({Block::Code, e.example});
    }
    out.push_back({Block::Section, "L'editor: menús i tecles"});
    for (const char* line : {
             "Fitxer: Nou programa (Ctrl+N), Buscar fitxer (Ctrl+B), Obrir (Ctrl+O), Guardar (Ctrl+S), "
             "Guardar com... (Ctrl+A), Iconitzar (Ctrl+I), Sortir.",
             "Eines: Codificar/Descodificar (Ctrl+D), Executar (F5), Executa Ocultat (Ctrl+F5), Executar tot "
             "(Majúscules+F5), Atura el procés (F4), Posició del Ratolí (Ctrl+P), Substituir (Ctrl+R).",
             "Ajuda: Comandes i sintaxis (F1), Imprimir manual del programa, Web del programa, En quant a "
             "Torvic...",
             "Esc tanca el programa. Mentre escriviu, el camp de sota mostra la sintaxi de l'ordre de la "
             "línia; la línia d'execució indica des d'on continua Cont Exec (F5). El marge de l'esquerra "
             "numera les línies com les compta l'execució.",
             "torvic /exec programa.torvic executa el programa amagat i el tanca en acabar; torvic /manual "
             "mostra aquest manual."}) {
        out.push_back({Block::Paragraph, line});
    }
    return out;
}

// RTF text of a UTF-8 text: braces and backslashes escaped, characters
// beyond ASCII as code page 1252 hexadecimal escapes.
std::string rtf(std::string_view utf8) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (char c : cp1252::fromUtf8(utf8)) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += c;
        } else if (b >= 0x80) {
            out += "\\'";
            out += hex[b >> 4];
            out += hex[b & 15];
        } else {
            out += c;
        }
    }
    return out;
}

// HTML text of a UTF-8 text.
std::string html(std::string_view utf8) {
    std::string out;
    for (char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

std::string manualRtf() {
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}\n";
    out += "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134\\fs20\n";
    for (const Block& b : manualBlocks()) {
        switch (b.kind) {
            case Block::Title:
            case Block::Section:
            case Block::Keyword: {
                const int halfPoints = b.kind == Block::Title ? 36 : b.kind == Block::Section ? 28 : 24;
                out += "\\pard\\sb240\\sa120\\keepn\\b\\fs" + std::to_string(halfPoints) + " " + rtf(b.text) +
                       "\\b0\\fs20\\par\n";
                break;
            }
            case Block::Paragraph: out += "\\pard\\sa80 " + rtf(b.text) + "\\par\n"; break;
            case Block::Code: out += "\\pard\\li360\\sa80\\f1 " + rtf(b.text) + "\\f0\\par\n"; break;
        }
    }
    out += "}\n";
    return out;
}

std::string manualHtml() {
    std::string out = "<!DOCTYPE html>\n<html lang=\"ca\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<title>Torvic: comandes i sintaxis</title>\n"
                      "<style>body{font-family:sans-serif;max-width:50em;margin:1em auto;padding:0 1em}"
                      "pre{margin-left:2em;background:#f4f4f4;padding:.2em .5em}</style>\n</head>\n<body>\n";
    for (const Block& b : manualBlocks()) {
        switch (b.kind) {
            case Block::Title: out += "<h1>" + html(b.text) + "</h1>\n"; break;
            case Block::Section: out += "<h2>" + html(b.text) + "</h2>\n"; break;
            case Block::Keyword: out += "<h3 id=\"" + html(b.text) + "\">" + html(b.text) + "</h3>\n"; break;
            case Block::Paragraph: out += "<p>" + html(b.text) + "</p>\n"; break;
            case Block::Code: out += "<pre>" + html(b.text) + "</pre>\n"; break;
        }
    }
    out += "</body>\n</html>\n";
    return out;
}

}  // namespace torvic
