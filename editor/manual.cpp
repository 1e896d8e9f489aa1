#include "editor/manual.h"

#include <string_view>
#include <vector>

#include "base/cp1252.h"
#include "editor/main_window_form.h"
#include "engine/commands.h"

namespace torvic {
namespace {

// The manual as a list of blocks, written out as RTF or HTML.
struct Block {
    enum Kind { Title, Section, Keyword, Paragraph, Code } kind;
    std::string text;  // UTF-8
};

std::string withoutAccessKey(std::string_view caption) {
    std::string out;
    for (char c : caption)
        if (c != '&') out += c;
    return out;
}

// A shortcut as the manual names it: "Shift" is "Majúscules".
std::string catalanShortcut(std::string_view shortcut) {
    std::string out(shortcut);
    if (out.starts_with("Shift+")) out = "Majúscules+" + out.substr(6);
    return out;
}

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
        out.push_back({Block::Keyword, std::string(row.keyword)});
        out.push_back({Block::Code, std::string(row.hint)});
        out.push_back({Block::Paragraph, std::string(row.description)});
        out.push_back({Block::Paragraph, "Exemple:"});
        out.push_back({Block::Code, std::string(row.example)});
    }
    out.push_back({Block::Section, "L'editor: menús i tecles"});
    // The menus as the window has them: "Fitxer: Nou programa (Ctrl+N), ...".
    for (const FormMenu& menu : mainWindowMenus()) {
        if (menu.popup) continue;
        std::string line = withoutAccessKey(menu.caption) + ": ";
        bool first = true;
        for (const FormMenuItem& item : menu.items) {
            if (std::string_view(item.caption) == "-") continue;
            if (!first) line += ", ";
            first = false;
            line += withoutAccessKey(item.caption);
            if (*item.shortcut) line += " (" + catalanShortcut(item.shortcut) + ")";
        }
        out.push_back({Block::Paragraph, line + (line.ends_with('.') ? "" : ".")});
    }
    for (const char* line : {
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
