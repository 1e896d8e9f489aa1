// torvicrun: runs a script without a window, for cron jobs and tests.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/console_host.h"
#include "base/cp1252.h"
#include "script/encoding.h"
#include "engine/engine.h"
#include "script/script_file.h"
#include "platform/system.h"

namespace {

int usage(const char* why) {
    if (why) std::fprintf(stderr, "torvicrun: %s\n", why);
    std::fprintf(stderr, "usage: torvicrun [--on-error=ask|continue|stop] [--start=N] SCRIPT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    torvic::prepareProcess();
    using torvic::ConsoleHost;
    ConsoleHost::OnError onError = ConsoleHost::OnError::Ask;
    std::string start = "0";
    std::string script;
    // System names: on Windows from the wide command line, whatever the ANSI code page.
    for (const std::string& a : torvic::programArguments(argc, argv)) {
        if (a == "--help" || a == "-h") return usage(nullptr), 0;
        if (a.starts_with("--on-error=")) {
            std::string v = a.substr(11);
            if (v == "ask") onError = ConsoleHost::OnError::Ask;
            else if (v == "continue") onError = ConsoleHost::OnError::Continue;
            else if (v == "stop") onError = ConsoleHost::OnError::Stop;
            else return usage(("unknown --on-error value '" + v + "'").c_str());
        } else if (a.starts_with("--start=")) {
            start = a.substr(8);
            if (start.empty() || start.size() > 3 || start.find_first_not_of("0123456789") != std::string::npos)
                return usage(("--start needs a line number from 0 to 299, not '" + start + "'").c_str());
        } else if (a.starts_with("--") && a.size() > 2) {
            return usage(("unknown option '" + a + "'").c_str());
        } else if (script.empty()) {
            script = a;
        } else {
            return usage("only one script can be run");
        }
    }
    if (script.empty()) return usage("no script given");

    std::string error;
    std::optional<std::string> bytes = torvic::readFileBytes(script, &error);
    if (!bytes) {
        std::fprintf(stderr, "torvicrun: cannot read '%s': %s\n", script.c_str(), error.c_str());
        return 2;
    }
    // The name is the system's own (argv); the text 1252 or UTF-8.
    torvic::ScriptFile file = torvic::readScriptFile(*bytes);
    if (torvic::isUtf8(file.encoding))
        std::fprintf(stderr, "torvicrun: '%s' is UTF-8 text; it is read as UTF-8\n", script.c_str());
    if (file.readLineFeeds)
        std::fprintf(stderr, "torvicrun: '%s' has no carriage returns; its line feeds are read as line ends\n",
                     script.c_str());
    const std::string& text = file.text;

    std::unique_ptr<torvic::Platform> platform = torvic::makeSystemPlatform();
    ConsoleHost host(text, start, onError, file.textUtf8);
    torvic::Engine engine(host, *platform);
    switch (engine.loadLines(text)) {
        case torvic::Engine::LoadResult::Loaded:
            break;
        case torvic::Engine::LoadResult::TooManyLines:
            std::fprintf(stderr, "torvicrun: '%s' has more than %d non-empty lines; it cannot be run\n",
                         script.c_str(), torvic::kMaxScriptLines);
            return 2;
        case torvic::Engine::LoadResult::UnreadableHeader:
            std::fprintf(stderr, "torvicrun: '%s' is encoded, but its header gives no key length; it cannot be run\n",
                         script.c_str());
            return 2;
    }
    const int lines = engine.run.nombreLinies;
    if (std::stoi(start) > 0 && std::stoi(start) >= lines)
        return usage(("--start=" + start + " is beyond the script's " + std::to_string(lines) +
                      " non-empty lines (numbered from 0)").c_str());
    return host.run(engine);
}
