#pragma once
// The interpreter: the run state of the main window, loading the line table
// from the editor text, the run loop, the per-line dispatcher, parameter
// extraction, the run controls and the syntax-error prompt.
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/host.h"
#include "platform/platform.h"
#include "textcmd/document.h"
#include "textcmd/line_context.h"

namespace torvic {

// Entries 0 to 300; a script may fill at most 300 of them so that entry 300
// always stays empty and ends any run that reaches it.
inline constexpr int kTableSize = 301;
inline constexpr int kMaxScriptLines = 300;

// Hooks that undo the encoding of an encoded script, one layer at a time.
struct ScriptDecoder {
    std::function<std::string(const std::string& text)> extreuClau;
    std::function<std::string(const std::string& key, const std::string& text)> descodificaText;
};

// Marker at the start of an encoded script.
inline constexpr std::string_view kEncodedMarker = "$%& ";

class Engine : public LineContext {
public:
    Engine(Host& host, Platform& platform);

    // ---- run state -------------------------------------------------------
    std::array<std::string, kTableSize> linies;
    std::int16_t liniaActual = 0;
    std::int16_t nombreLinies = 0;
    bool executant = false;
    std::array<std::string, 10> parametresLinia;
    std::array<double, 16> idsPrograma{};
    std::string horaEspera;

    // The working text and its cursor, kept across runs.
    TextDocument document;

    ScriptDecoder decoder;

    // ---- loading ---------------------------------------------------------
    enum class LoadResult { Loaded, TooManyLines };
    // Fills `linies` from an editor text. A script with more non-empty lines
    // than the table can hold is refused and the table is left as it was.
    LoadResult carregarLinies(std::string_view editorText);

    // ---- running ---------------------------------------------------------
    void autoExecucio();
    void Execucio();
    // Fills `parametresLinia` from the current line; one kind per slot.
    void obtParam(std::initializer_list<std::int16_t> kinds) override;
    // Asks whether to go on after a failing line; sets `liniaActual`.
    void PErrorSintaxi(std::string& missatge);

    void Timer1_Timer();
    void Timer2_Timer();

    // ---- run controls ----------------------------------------------------
    void Command3_Click();  // "Cont Exec"
    void Command9_Click();  // "Executa tot"
    void Command8_Click();  // "Executa Ocult"
    void Command4_Click();  // "Stop"
    void Command5_Click();  // "End"

    bool runButtonsEnabled() const { return botonsExecucio_; }
    // True when the last run was ended by a "No" at the syntax-error prompt.
    bool runEndedByNo() const { return acabatPerNo_; }
    // Performs a shell verb on a document: 1 open, 2 print, 3 explore, any
    // other the default action. Returns the shell's result.
    long ExecutarDocument(const std::string& strURL, std::int16_t iWindowStyle, std::uint8_t nFuncio);

    // What went wrong in the current line, when it failed (for logs; not shown in the prompt).
    const std::string& lastErrorDetail() const { return ultimError_; }

    Host& host() override { return host_; }
    Platform& platform() { return platform_; }

    // What a command branch sees of the line it runs.
    std::string& param(int slot) override { return parametresLinia[static_cast<std::size_t>(slot)]; }
    const std::string& currentLine() const override { return entry(liniaActual); }
    std::int16_t currentLineIndex() const override { return liniaActual; }
    void endRunHere() override;
    void syntaxErrorPrompt(std::string& missatge) override;

    // Entry `index` of the table, or the empty text outside it.
    const std::string& entry(int index) const;
    // A line's keyword: text before the first "(", trimmed, lower case.
    static std::string keywordOf(std::string_view line);

    // The 37 command keywords in the order the dispatcher compares them.
    static const std::array<std::string_view, 37>& keywords();

private:
    using Branch = void (*)(Engine&);
    struct Command {
        std::string_view keyword;
        Branch branch;
    };
    static const std::array<Command, 37> kCommands;

    void setRunButtons(bool enabled);
    void finishRun();
    void reportUnrecognised(const std::string& line);
    // Continues at the next line with `keyword`, or past the script's end.
    void skipBlockTo(std::string_view keyword);
    void startClockWait(const std::string& hhmm);

    // Flow and timing commands.
    void cmdWait();
    void cmdGoto();
    void cmdTime();
    void cmdDate();
    void cmdIftime();
    void cmdIfdate();
    void cmdStop();
    void cmdBeep();

    // Process, window and input commands.
    void cmdExec();
    void cmdExecdoc();
    void cmdSend();
    void cmdFocu();
    void cmdMsg();
    void cmdMouse();
    void cmdIfmouse();

    // System and file commands.
    void exitRequest(std::uint32_t flags);
    void cmdOff();
    void cmdLogoff();
    void cmdReboot();
    void cmdStandby();
    void cmdCopy();
    void cmdXcopy();

    Host& host_;
    Platform& platform_;
    bool botonsExecucio_ = true;
    bool acabatPerNo_ = false;
    bool dinsBucle_ = false;
    bool senseAvanc_ = false;  // the branch has set the next line itself
    std::string ultimError_;
};

}  // namespace torvic
