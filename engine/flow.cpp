// The flow and timing commands: wait, goto, time, date, iftime, ifdate, beep, stop, end.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "base/datetime.h"
#include "base/errors.h"
#include "base/numeric.h"
#include "base/text.h"
#include "engine/commands.h"
#include "engine/engine_texts.h"
#include "engine/host.h"
#include "platform/platform.h"

namespace torvic {

using enum ParamKind;

namespace {

// Inside a window [a, b] (a > b wraps around), with no `a` meaning always.
bool insideWindow(std::optional<double> a, std::optional<double> b, double t) {
    if (!a) return true;
    double hi = b ? *b : *a;
    if (*a <= hi) return *a <= t && t <= hi;
    return t >= *a || t <= hi;
}

bool isPlainNumber(std::string_view s) {
    s = trimBlanks(s);
    bool digit = false;
    for (char c : s) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '.')
            return false;
    }
    return digit;
}

// A bare number (digits and dots, no sign) read as a point in time: the
// whole part is a serial day, the fraction the time of day. Nothing when the
// text is not one; a day outside the calendar is a range error.
std::optional<double> bareNumberDate(std::string_view s) {
    if (!isPlainNumber(s)) return std::nullopt;
    double v = valorNumeric(s);
    if (!(v < static_cast<double>(kLastSerial + 1))) throw RunTimeError(engine_texts::noDateWithNumber(std::string(s)));
    return v;
}

void startClockWait(RunContext& ctx, const std::string& hhmm) {
    ctx.executant = false;
    ctx.waits.wakeAtClock(hhmm);
}

}  // namespace

static void cmdWait(RunContext& ctx) {
    ctx.obtParam({Plain, Plain});
    double ms = valorNumeric(ctx.param(0));
    double minutes = valorNumeric(ctx.param(1));
    if (minutes <= 0 && ms <= 65535) {
        std::int32_t interval = toInt32(ms);
        if (interval < 0) throw RunTimeError(engine_texts::negativeWait());
        ctx.executant = false;
        ctx.waits.wakeAfter(interval);
        return;
    }
    DateTime now = ctx.platform.now();
    const double offset = minutes * 60 + ms / 1000;
    // The target must stay a date: beyond the calendar (or not a number) the
    // line fails, as any other number out of range.
    const double targetDay = static_cast<double>(now.day) + offset / kSecondsPerDay;
    if (!(targetDay >= static_cast<double>(kFirstSerial) && targetDay <= static_cast<double>(kLastSerial)))
        throw RunTimeError(engine_texts::waitBeyondCalendar());
    double target = now.msOfDay / 1000.0 + offset;
    target = std::fmod(target, double(kSecondsPerDay));
    if (target < 0) target += kSecondsPerDay;
    startClockWait(ctx, clockText(static_cast<int>(std::floor(target))).substr(0, 5));
}

static void cmdTime(RunContext& ctx) {
    ctx.obtParam({Plain});
    const std::string& hora = ctx.param(0);
    if (std::optional<int> t = parseTimeOfDay(hora)) {
        startClockWait(ctx, clockText(*t).substr(0, 5));
    } else if (std::optional<double> day = bareNumberDate(hora)) {
        // A bare number reads as a day of the date count: its text is a date,
        // which never equals a clock reading, so the run waits until stopped.
        startClockWait(ctx, dateText(static_cast<std::int64_t>(std::floor(*day))).substr(0, 5));
    } else {
        throw RunTimeError(engine_texts::notATimeOfDay(hora));
    }
}

static void cmdDate(RunContext& ctx) {
    ctx.obtParam({Plain});
    std::string d = ctx.param(0);
    const std::int64_t todaySerial = ctx.platform.now().day;
    std::string today = dateText(todaySerial);
    std::size_t slashes = std::count(d.begin(), d.end(), '/');
    if (slashes == 0)
        d += "/" + today.substr(today.size() - 5);
    else if (slashes == 1)
        d += "/" + today.substr(today.size() - 2);
    std::optional<std::int64_t> target = parseDate(d);
    if (!target) throw RunTimeError(engine_texts::notADate(d));
    if (todaySerial < *target) {
        --ctx.liniaActual;  // the common advance brings the run back to this line
        startClockWait(ctx, "00:00");
    }
}

static void cmdGoto(RunContext& ctx) {
    ctx.obtParam({Plain, Plain});
    std::string& line = ctx.currentLine();
    double target = valorNumeric(ctx.param(0));
    double count = valorNumeric(ctx.param(1));
    // The count is kept in the line's own text, where the window shows it. The
    // new text is built in a buffer kept between passes, so a pass through a
    // loop allocates nothing once the buffer and the line have grown.
    static thread_local std::string rewritten;

    if (count > 0) {
        double next = target;
        if (target < 0) {
            next = ctx.liniaActual + target;
            if (next < 0) next = 0;
        }
        if (line.find(')') == std::string::npos) line += ')';  // unclosed list: keep the count readable
        std::size_t close = line.find(')');
        if (close + 1 == line.size()) line += ctx.param(1);  // first pass saves the initial count
        std::size_t comma = line.find(',');
        const std::string_view l = line;
        rewritten.assign(l.substr(0, comma + 1));
        rewritten += numberText(count - 1);  // short: held inside the string, no allocation
        rewritten.append(l.substr(close));
        line.assign(rewritten);
        // The entry is stored before the target is converted: a target out of
        // range fails this pass, and the next pass sees the lowered count.
        ctx.liniaActual = toInt16(next - 1);
    } else {
        // Restore the initial count saved after ")" for the next entry into the loop.
        std::size_t comma = line.find(',');
        if (comma == std::string::npos) return;  // no count to restore
        std::size_t close = line.find(')');
        const std::string_view l = line;
        rewritten.assign(l.substr(0, comma + 1));
        if (close != std::string::npos) rewritten.append(l.substr(close + 1));
        rewritten += ')';
        line.assign(rewritten);
    }
}

static void cmdIftime(RunContext& ctx) {
    ctx.obtParam({Plain, Plain});
    auto hour = [](const std::string& s) -> std::optional<double> {
        if (s.empty()) return std::nullopt;
        if (s.size() <= 2) return valorNumeric(s) * 3600;
        if (std::optional<int> t = parseTimeOfDay(s)) return *t;
        // A bare number is a date, whose time of day is its fraction.
        if (std::optional<double> d = bareNumberDate(s)) return std::floor((*d - std::floor(*d)) * kSecondsPerDay);
        throw RunTimeError(engine_texts::notATimeOfDay(s));
    };
    std::optional<double> h1 = hour(ctx.param(0));
    std::optional<double> h2 = hour(ctx.param(1));
    if (!insideWindow(h1, h2, ctx.platform.now().secondOfDay())) ctx.skipToNextOfSameKeyword();
}

static void cmdIfdate(RunContext& ctx) {
    ctx.obtParam({Plain, Plain, Plain});
    DateTime now = ctx.platform.now();
    std::optional<double> d1, d2;
    double d;
    if (valorNumeric(ctx.param(2)) > 0) {
        d = weekdayNumber(now.day);
        d1 = valorNumeric(ctx.param(0));
        double v2 = valorNumeric(ctx.param(1));
        d2 = v2 == 0 ? *d1 : v2;
    } else {
        d = static_cast<double>(now.day);
        int year, month, dayOfMonth;
        civilFromSerial(now.day, year, month, dayOfMonth);
        auto date = [&](const std::string& s) -> std::optional<double> {
            if (s.empty()) return std::nullopt;
            if (s.size() <= 2) return static_cast<double>(now.day - dayOfMonth) + valorNumeric(s);
            if (std::optional<std::int64_t> v = parseDate(s, year)) return static_cast<double>(*v);
            if (std::optional<double> v = bareNumberDate(s)) return *v;  // a serial day, as time() reads it
            throw RunTimeError(engine_texts::notADate(s));
        };
        d1 = date(ctx.param(0));
        d2 = date(ctx.param(1));
    }
    if (!insideWindow(d1, d2, d)) ctx.skipToNextOfSameKeyword();
}

static void cmdStop(RunContext& ctx) { ctx.liniaActual = ctx.nombreLinies; }

static void cmdBeep(RunContext& ctx) { ctx.platform.beep(); }


std::span<const CommandRow> flowCommands() {
    static const CommandRow rows[] = {
    {"wait", cmdWait, "wait(ms,minuts)",
     "Espera ms mil·lisegons; amb minuts, espera fins a l'hora que resulta, a minuts sencers.",
     "wait(2000)"},
    {"goto", cmdGoto, "goto(linia,vegades)",
     "Salta a la línia indicada (comptant des de 0 entre les línies no buides; negativa, relativa a la línia actual) tantes vegades com indica vegades; després continua.",
     "goto(0,5)"},
    {"time", cmdTime, "time(hora)",
     "Espera fins a l'hora indicada (hores i minuts).",
     "time(14:30)"},
    {"date", cmdDate, "date(dia/mes/any)",
     "Espera, comprovant-ho cada mitjanit, fins al dia indicat; sense mes o any, els actuals.",
     "date(25/12)"},
    {"iftime", cmdIftime, "iftime(hora1,hora2)",
     "Executa les línies fins al següent iftime només dins de la franja d'hores (pot passar de mitjanit).",
     "iftime(8,12)"},
    {"ifdate", cmdIfdate, "ifdate(dia1,dia2,son_dies_setmanals)",
     "Executa les línies fins al següent ifdate només dins de la franja de dies del mes, de dates o, amb el tercer paràmetre, de dies de la setmana (1 diumenge a 7 dissabte).",
     "ifdate(2,6,1)"},
    {"beep", cmdBeep, "beep()",
     "Fa sonar el so d'avís del sistema.",
     "beep()"},
    {"stop", cmdStop, "stop()",
     "Acaba l'execució.",
     "stop()"},
    {"end", cmdStop, "end()",
     "Acaba l'execució (com stop).",
     "end()"},
    };
    return rows;
}

}  // namespace torvic
