#include "app/console_host.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <iostream>
#include <thread>

#include "app/console_texts.h"
#include "base/cp1252.h"
#include "platform/system.h"

namespace torvic {
namespace {

// A control byte as the terminal shows it safely: \xHH, so that a script
// cannot move the cursor or change the terminal's state.
void appendEscaped(std::string& out, char c) {
    static const char hex[] = "0123456789ABCDEF";
    const auto b = static_cast<unsigned char>(c);
    out += "\\x";
    out += hex[b >> 4];
    out += hex[b & 15];
}

// C0 controls, DEL, and the five bytes 1252 leaves unassigned, which reach
// the terminal as C1 controls (some of which start escape sequences).
bool isControl(char c) {
    const char32_t u = cp1252::toUnicode(static_cast<unsigned char>(c));
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

// Appends the terminal form of a 1252 text: UTF-8, with CR LF or a lone CR
// as a new line (when `lineBreaks`), a tab kept, and every other control
// byte escaped.
void appendForTerminal(std::string& out, std::string_view text1252, bool lineBreaks = true) {
    std::size_t plain = 0;  // start of the bytes not yet appended
    for (std::size_t i = 0; i < text1252.size(); ++i) {
        const char c = text1252[i];
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 0x20 && b < 0x7F) || c == '\t' || !isControl(c)) continue;
        cp1252::appendUtf8(out, text1252.substr(plain, i - plain));
        if (c == '\r' && lineBreaks) {
            out += '\n';
            if (i + 1 < text1252.size() && text1252[i + 1] == '\n') ++i;
        } else {
            appendEscaped(out, c);
        }
        plain = i + 1;
    }
    cp1252::appendUtf8(out, text1252.substr(plain));
}

bool isClockReading(const std::string& hhmm) {
    return hhmm.size() == 5 && hhmm[2] == ':' && std::isdigit(static_cast<unsigned char>(hhmm[0])) &&
           std::isdigit(static_cast<unsigned char>(hhmm[1])) && std::isdigit(static_cast<unsigned char>(hhmm[3])) &&
           std::isdigit(static_cast<unsigned char>(hhmm[4])) && hhmm < "24:00" && hhmm[3] < '6';
}

}  // namespace

ConsoleHost::ConsoleHost(std::string editorText, int startLine, OnError onError, std::string editorTextUtf8,
                         bool trace)
    : editorText_(std::move(editorText)),
      editorTextUtf8_(std::move(editorTextUtf8)),
      startLine_(startLine),
      onError_(onError),
      trace_(trace) {}

ConsoleHost::~ConsoleHost() { flush(); }

void ConsoleHost::print(const std::string& text1252) {
    appendForTerminal(out_, text1252);
    out_ += '\n';
    if (out_.size() > 1 << 16) flush();
}

void ConsoleHost::flush() {
    writeStandardError(out_);
    out_.clear();
}

void ConsoleHost::lineStarted(int index, const std::string& text) {
    if (!trace_) return;
    // Buffered: scripts may run millions of lines.
    char number[16];
    out_ += '[';
    out_.append(number, std::to_chars(number, number + sizeof number, index).ptr);
    out_ += "] ";
    appendForTerminal(out_, text, false);
    out_ += '\n';
    if (out_.size() > 1 << 16) flush();
}

long long ConsoleHost::steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
}

void ConsoleHost::messageBox(const std::string& text, const std::string& title, MessageIcon, bool) {
    print("== " + title + " ==\r\n" + text);
    flush();
}

void ConsoleHost::ferMissatge(const std::string& missatge, const std::string& titol, std::int16_t) {
    // Nobody watches a console run: the message is printed and the run goes on.
    print("== " + titol + " ==\r\n" + missatge);
    flush();
}

void ConsoleHost::internalError(const std::string& what) {
    print("torvicrun: " + console_texts::internalError(what));
    flush();
}

bool ConsoleHost::askYesNo(const std::string& text, const std::string& title) {
    print("== " + title + " ==\r\n" + text);
    bool answer = false;
    if (onError_ == OnError::Continue) {
        answer = true;
    } else if (onError_ == OnError::Ask && standardInputIsTerminal()) {
        for (;;) {
            out_ += cp1252::toUtf8(L1252("Sí/No [s/n]: "));
            flush();
            std::string reply;
            if (!std::getline(std::cin, reply)) break;  // end of input: No
            if (!reply.empty() && (reply[0] == 's' || reply[0] == 'S' || reply[0] == 'y' || reply[0] == 'Y')) {
                answer = true;
                break;
            }
            if (!reply.empty() && (reply[0] == 'n' || reply[0] == 'N')) break;
        }
    }
    // --on-error=ask without a terminal, and --on-error=stop, answer No.
    print(answer ? L1252("-> Sí") : "-> No");
    flush();
    return answer;
}

int ConsoleHost::run(Engine& engine) {
    engine.continueRun(startLine_);  // no window: the run is a hidden one
    while (!ended_) {
        flush();
        // A wait nothing can end: no time is set, or the clock never reads it.
        const Engine::Waiting& waiting = engine.waiting();
        if (!timerDue_ || (waiting.onClock && !isClockReading(waiting.horaEspera))) {
            print("torvicrun: " + (waiting.onClock ? console_texts::waitsForUnseenTime(waiting.horaEspera)
                                                   : console_texts::waitsForever()));
            flush();
            return 1;
        }
        std::this_thread::sleep_until(start_ + std::chrono::milliseconds(*timerDue_));
        timerDue_.reset();
        engine.runTimerFired();
    }
    flush();
    return engine.runEndedByNo() ? 1 : 0;
}

}  // namespace torvic
