// A whole script on the recording platform and the scripted host: all the
// commands, prompts answered from the input, timers on a virtual clock, and
// the files of open, save and ref in memory, so nothing touches the disk.
// Invariants: no fault of ours (an internal error), no line outside the line
// table is run, a hidden run that is not waiting has ended the program, and
// a UTF-8 working text never holds a broken character.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "base/text_encoding.h"
#include "script/encoding.h"
#include "engine/engine.h"
#include "tests/support/scripted_host.h"

using namespace torvic;

namespace {

struct OutOfBudget {};

class FuzzHost : public test::ScriptedHost {
public:
    using ScriptedHost::ScriptedHost;
    int budget = 5000;  // lines a single input may run (loops can run millions)

    void lineStarted(int index, const std::string& text) override {
        if (index < 0 || index >= kTableSize) std::abort();
        if (--budget < 0) throw OutOfBudget{};
        text3Field = std::to_string(index);
        text4Field = text;
    }
    void internalError(const std::string& what) override {
        std::fprintf(stderr, "internal error: %s\n", what.c_str());
        std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Four bytes of Yes/No answers and the run mode, then the script.
    if (size < 4) return 0;
    RecordingPlatform platform;
    std::map<std::string, std::string> files{{"a.txt", "t\r\nART1 a\r\nART2 b\r\nART3 c\r\n"},
                                             {"b.txt", "x<y>z\r\n\r\nline\r\n"},
                                             {"u.txt", "\xEF\xBB\xBFPla\xC3\xA7" "a \xE2\x86\x92 \xCE\xB1\r\nART1 \xF0\x9F\x98\x80\r\n"}};
    platform.memoryFiles = &files;
    platform.setClock(2026, 12, 16, 23, 59, 30);
    platform.processesWithWindows = {1000, 1001};
    FuzzHost host(platform);
    Engine engine(host, platform);
    host.engine = &engine;
    for (int bit = 0; bit < 24; ++bit) host.answers.push_back((data[bit / 8] >> (bit % 8)) & 1);
    host.visible = (data[3] & 1) == 0;
    host.editor.assign(reinterpret_cast<const char*>(data) + 4, size - 4);

    try {
        if (host.visible)
            engine.runAll();
        else
            engine.continueRun(0);  // hidden: as the window continues a run it hid
        // Let waits run out: intervals, and minute ticks across midnight.
        for (int step = 0; step < 4 && !host.ended; ++step) host.advance(90'000);
    } catch (const OutOfBudget&) {
        return 0;
    }
    // A goto may point past the table (that ends the run): only lines inside
    // it are ever run, which lineStarted checks.
    const RunContext& run = engine.run;
    if (run.liniaActual < -1) std::abort();
    if (run.nombreLinies < 0 || run.nombreLinies > kMaxScriptLines) std::abort();
    if (!host.visible && !host.ended && run.executant) std::abort();  // a hidden run that stopped must have ended
    if (engine.document.utf8() && !isValidUtf8(engine.document.textTreball())) std::abort();
    return 0;
}
