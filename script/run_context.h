#pragma once
// What a command sees of a run: the run state of the main window (the line
// table and where the run is), the parameter slots of the line being run,
// and the working text, dialogs, host and platform the command acts on.
// Every command is a free function over one RunContext.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace torvic {

class CodePages;
struct CommandRow;
class Dialogs;
class FileStore;
class Platform;
class TextDocument;

// What a command asks of the run's clock: go on after an interval (0: only
// when the run is stopped), or check the clock every few seconds until it
// reads a time of day ("HH:MM"; any other text is never read). The run
// stops until then; the engine keeps the time.
class RunWaits {
public:
    virtual void wakeAfter(std::int32_t ms) = 0;
    virtual void wakeAtClock(const std::string& hhmm) = 0;

protected:
    ~RunWaits() = default;
};

// Entries 0 to 300; a script may fill at most 300 of them so that entry 300
// always stays empty and ends any run that reaches it.
inline constexpr int kTableSize = 301;
inline constexpr int kMaxScriptLines = 300;

// How obtParam cuts a parameter: up to the next comma, blanks trimmed; a
// text of quoted pieces and character codes with the escapes \n and \t
// turned into CR LF and TAB; the same text without escapes; the rest of the
// line as it stands.
enum class ParamKind : std::int16_t { Plain = 1, Escaped = 2, Text = 3, Rest = 4 };

class RunContext {
public:
    RunContext(RunWaits& runWaits, Dialogs& runDialogs, Platform& runPlatform, FileStore& runFiles,
               CodePages& runCodePages, TextDocument& workingText)
        : waits(runWaits),
          dialogs(runDialogs),
          platform(runPlatform),
          files(runFiles),
          codePages(runCodePages),
          document(workingText) {}

    // ---- run state ------------------------------------------------------
    std::array<std::string, kTableSize> linies;
    // Each entry's command, found once when the table is loaded (null for a
    // comment or an unrecognised line): commands rewrite their line's text
    // after the keyword, never the keyword.
    std::array<const CommandRow*, kTableSize> commands{};
    std::int16_t liniaActual = 0;
    std::int16_t nombreLinies = 0;
    bool executant = false;
    std::array<std::string, 10> parametresLinia;
    std::array<double, 16> idsPrograma{};
    // The entries whose editor lines hold characters code page 1252 cannot
    // (a '?' stands for each in the entry), with those characters in UTF-8:
    // such a line is never run.
    std::map<int, std::string> outside1252;

    RunWaits& waits;
    Dialogs& dialogs;
    Platform& platform;
    FileStore& files;  // the platform's, as the file commands see it
    CodePages& codePages;  // the platform's too
    TextDocument& document;

    // ---- the line being run ------------------------------------------------
    // Fills `parametresLinia` from the current line, one kind per slot.
    void obtParam(std::initializer_list<ParamKind> kinds) { obtParam(std::span<const ParamKind>(kinds.begin(), kinds.size())); }
    void obtParam(std::span<const ParamKind> kinds);
    std::string& param(int slot) { return parametresLinia[static_cast<std::size_t>(slot)]; }
    // Entry `index` of the table, or the empty text outside it.
    const std::string& entry(int index) const;
    // The entry being run, as stored (the dispatcher has trimmed it), for a
    // command that rewrites it (goto's count, mouse's mark): its parameters
    // are cut again the next time.
    std::string& currentLine() {
        cutLines_[static_cast<std::size_t>(liniaActual)].valid = false;
        return linies[static_cast<std::size_t>(liniaActual)];
    }
    // Forgets every entry's cut parameters (the table was filled anew).
    void forgetCutParameters() {
        for (CutLine& c : cutLines_) c.valid = false;
    }
    // A line's keyword: text before the first "(", trimmed, lower case.
    static std::string keywordOf(std::string_view line);

    // ---- where the run goes next -------------------------------------------
    // False once a command has set the next line itself; the dispatcher then
    // does not add the common 1.
    bool advanceAfterLine = true;
    // Ends the run at the first empty entry after the script.
    void endRunHere();
    // Continues at the next line with the current line's keyword, or past the
    // script's end when there is none.
    void skipToNextOfSameKeyword();
    // The syntax-error prompt: asks whether to go on after a failing line
    // and sets `liniaActual` (Yes: the next line; No: the run ends). A text
    // of the caller's own is shown after an empty line; without one, the
    // line's reason (`lastError`) is the second line. The dispatcher does
    // not advance again after it.
    void PErrorSintaxi(std::string missatge = "");

private:
    // An entry's parameters as obtParam last cut them, with the kinds asked
    // for: a line is cut once, however often it runs.
    struct CutLine {
        bool valid = false;
        std::size_t kindCount = 0;
        std::array<ParamKind, 10> kinds{};
        std::array<std::string, 10> values;
    };
    std::array<CutLine, kTableSize> cutLines_;
    void cutParameters(std::span<const ParamKind> kinds);

public:
    // True when the last run was ended by a "No" at a prompt.
    bool endedByNo = false;
    // Why the current line failed, when it did: the prompt's second line.
    std::string lastError;
};

}  // namespace torvic
