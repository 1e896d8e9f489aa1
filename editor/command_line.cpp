#include "editor/command_line.h"

#include "base/text.h"

namespace torvic {

std::string commandLineText(const std::vector<std::string>& args) {
    std::string cmd;
    for (const std::string& a : args) {
        if (!cmd.empty()) cmd += ' ';
        if (a.find(' ') != std::string::npos)
            cmd += '"' + a + '"';
        else
            cmd += a;
    }
    return cmd;
}

std::string commandLineArguments(const std::string& commandLine) {
    std::size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::size_t close = commandLine.find('"', 1);
        i = close == std::string::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
    }
    while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
    return commandLine.substr(i);
}

StartRequest parseCommandLine(const std::string& cmd) {
    StartRequest r;
    if (cmd.empty()) return r;
    // A name whose computed length would be negative ("/exec" alone, a lone
    // quote) is taken as empty.
    auto cut = [&cmd](std::size_t from, std::size_t dropLast) -> std::string {
        if (from >= cmd.size() || cmd.size() - from < dropLast) return "";
        return cmd.substr(from, cmd.size() - from - dropLast);
    };
    if (toLower1252(cmd.substr(0, 5)) == "/exec") {
        r.kind = StartRequest::RunHidden;
        r.file = cmd.size() > 6 && cmd[6] == '"' ? cut(7, 1) : cut(6, 0);
    } else if (toLower1252(cmd.substr(0, 5)) == "/nou " || toLower1252(cmd) == "/nou") {
        r.kind = StartRequest::OpenAsNew;
        r.file = cmd.size() > 5 && cmd[5] == '"' ? cut(6, 1) : cut(5, 0);
    } else {
        r.kind = StartRequest::Edit;
        r.file = cmd[0] == '"' ? cut(1, 1) : cmd;
    }
    return r;
}

bool isHelpRequest(const std::string& arguments) {
    return arguments == "--help" || arguments == "-h" || arguments == "/?";
}

std::string usageText(bool withManual) {
    std::string text =
        "Ús: torvic [PROGRAMA]\n"
        "    torvic /exec PROGRAMA\n"
        "    torvic /nou PROGRAMA\n";
    if (withManual) text += "    torvic /manual\n";
    // No columns nor breaks inside a line: a message box shows it in a
    // proportional font, and wraps it itself.
    text +=
        "\n"
        "PROGRAMA: obre el programa (un fitxer .torvic) a l'editor.\n"
        "/exec PROGRAMA: l'executa amagat, amb la icona a l'àrea de notificació, i "
        "acaba quan el programa acaba.\n"
        "/nou PROGRAMA: mostra el text del programa com a programa nou, sense nom.\n";
    if (withManual) text += "/manual: mostra el manual de les comandes.\n";
    text += "--help: mostra aquesta ajuda.\n";
    return text;
}

}  // namespace torvic
