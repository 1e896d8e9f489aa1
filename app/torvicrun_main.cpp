// torvicrun: runs a script without a window, for cron jobs and tests.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/console_host.h"
#include "app/console_texts.h"
#include "base/cp1252.h"
#include "script/encoding.h"
#include "engine/engine.h"
#include "script/script_file.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {

namespace texts = torvic::console_texts;

// One line on standard error, "torvicrun: " first.
void say(const std::string& text1252) { torvic::writeStandardError(torvic::cp1252::toUtf8("torvicrun: " + text1252 + "\n")); }

int usage(const std::string& why) {
    if (!why.empty()) say(why);
    torvic::writeStandardError(torvic::cp1252::toUtf8(texts::usage() + "\n"));
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    torvic::prepareProcess();
    using torvic::ConsoleHost;
    ConsoleHost::OnError onError = ConsoleHost::OnError::Ask;
    std::string start = "0";
    std::string script;
    bool trace = false;
    // System names: on Windows from the wide command line, whatever the ANSI code page.
    for (const std::string& a : torvic::programArguments(argc, argv)) {
        if (a == "--help" || a == "-h") return usage({}), 0;
        if (a == "--trace") {
            trace = true;
        } else if (a.starts_with("--on-error=")) {
            std::string v = a.substr(11);
            if (v == "ask") onError = ConsoleHost::OnError::Ask;
            else if (v == "continue") onError = ConsoleHost::OnError::Continue;
            else if (v == "stop") onError = ConsoleHost::OnError::Stop;
            else return usage(texts::unknownOnError(torvic::shownName(v)));
        } else if (a.starts_with("--start=")) {
            start = a.substr(8);
            if (start.empty() || start.size() > 3 || start.find_first_not_of("0123456789") != std::string::npos)
                return usage(texts::badStart(torvic::shownName(start)));
        } else if (a.starts_with("--") && a.size() > 2) {
            return usage(texts::unknownOption(torvic::shownName(a)));
        } else if (script.empty()) {
            // A name spelled the Windows way ("dades\\prova.torvic") works too.
            script = torvic::commandLineName(a);
        } else {
            return usage(texts::onlyOneScript());
        }
    }
    if (script.empty()) return usage(texts::noScript());
    const std::string shown = torvic::shownName(script);

    std::string error;
    std::optional<std::string> bytes = torvic::readFileBytes(script, &error);
    if (!bytes) {
        if (std::string why = torvic::driveError(script); !why.empty()) error = why;
        say(texts::cannotRead(shown, error));
        return 2;
    }
    // The name is the system's own (argv); the text 1252 or UTF-8.
    torvic::ScriptFile file = torvic::readScriptFile(*bytes);
    if (torvic::isUtf8(file.encoding))
        say(texts::readAsUtf8(shown));
    if (file.readLineFeeds)
        say(texts::lineFeedsAsLineEnds(shown));
    const std::string& text = file.text;

    std::unique_ptr<torvic::Platform> platform = torvic::makeSystemPlatform();
    ConsoleHost host(text, std::stoi(start), onError, file.textUtf8, trace);
    torvic::Engine engine(host, *platform);
    switch (engine.loadLines(text)) {
        case torvic::Engine::LoadResult::Loaded:
            break;
        case torvic::Engine::LoadResult::TooManyLines:
            say(texts::tooManyLines(shown, torvic::kMaxScriptLines));
            return 2;
        case torvic::Engine::LoadResult::UnreadableHeader:
            say(texts::encodedWithoutKeyLength(shown));
            return 2;
    }
    const int lines = engine.run.nombreLinies;
    if (std::stoi(start) > 0 && std::stoi(start) >= lines)
        return usage(texts::startBeyondEnd(start, lines));
    return host.run(engine);
}
