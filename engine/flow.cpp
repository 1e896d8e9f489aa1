// Flow and timing commands: wait, goto, time, date, iftime, ifdate, stop,
// end, beep.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "base/datetime.h"
#include "base/errors.h"
#include "base/numeric.h"
#include "base/text.h"
#include "engine/engine.h"

namespace torvic {
namespace {

constexpr std::int32_t kClockTick = 60000;

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

}  // namespace

void Engine::startClockWait(const std::string& hhmm) {
    horaEspera = hhmm;
    executant = false;
    host_.startTimer2(kClockTick);
}

void Engine::skipBlockTo(std::string_view keyword) {
    for (int i = liniaActual + 1; i <= nombreLinies && i < kTableSize; ++i) {
        if (keywordOf(linies[static_cast<std::size_t>(i)]) == keyword) {
            liniaActual = static_cast<std::int16_t>(i - 1);
            return;
        }
    }
    liniaActual = nombreLinies;  // the common advance lands past the script: the run ends
}

void Engine::cmdWait() {
    obtParam({1, 1});
    double ms = valorNumeric(parametresLinia[0]);
    double minutes = valorNumeric(parametresLinia[1]);
    if (minutes <= 0 && ms <= 65535) {
        std::int32_t interval = toInt32(ms);
        if (interval < 0) throw RunTimeError("negative wait interval");
        host_.startTimer1(interval);
        executant = false;
        return;
    }
    DateTime now = platform_.now();
    double target = now.msOfDay / 1000.0 + minutes * 60 + ms / 1000;
    target = std::fmod(target, double(kSecondsPerDay));
    if (target < 0) target += kSecondsPerDay;
    startClockWait(clockText(static_cast<int>(std::floor(target))).substr(0, 5));
}

void Engine::cmdTime() {
    obtParam({1});
    const std::string& hora = parametresLinia[0];
    if (std::optional<int> t = parseTimeOfDay(hora)) {
        startClockWait(clockText(*t).substr(0, 5));
    } else if (isPlainNumber(hora)) {
        // A bare number reads as a day of the date count: its text is a date,
        // which never equals a clock reading, so the run waits until stopped.
        startClockWait(dateText(static_cast<std::int64_t>(std::floor(valorNumeric(hora)))).substr(0, 5));
    } else {
        throw RunTimeError("not a time of day: " + hora);
    }
}

void Engine::cmdDate() {
    obtParam({1});
    std::string d = parametresLinia[0];
    const std::int64_t todaySerial = platform_.now().day;
    std::string today = dateText(todaySerial);
    std::size_t slashes = std::count(d.begin(), d.end(), '/');
    if (slashes == 0)
        d += "/" + today.substr(today.size() - 5);
    else if (slashes == 1)
        d += "/" + today.substr(today.size() - 2);
    std::optional<std::int64_t> target = parseDate(d);
    if (!target) throw RunTimeError("not a date: " + d);
    if (todaySerial < *target) {
        --liniaActual;  // the common advance brings the run back to this line
        startClockWait("00:00");
    }
}

void Engine::cmdGoto() {
    obtParam({1, 1});
    std::string& line = linies[static_cast<std::size_t>(liniaActual)];
    double target = valorNumeric(parametresLinia[0]);
    double count = valorNumeric(parametresLinia[1]);

    if (count > 0) {
        double next = target;
        if (target < 0) {
            next = liniaActual + target;
            if (next < 0) next = 0;
        }
        std::int16_t before = toInt16(next - 1);

        std::string l = line;
        if (l.find(')') == std::string::npos) l += ')';  // unclosed list: keep the count readable
        std::size_t close = l.find(')');
        if (close + 1 == l.size()) l += parametresLinia[1];  // first pass saves the initial count
        std::size_t comma = l.find(',');
        line = l.substr(0, comma + 1) + numberText(count - 1) + l.substr(close);
        liniaActual = before;
    } else {
        // Restore the initial count saved after ")" for the next entry into the loop.
        std::size_t comma = line.find(',');
        if (comma == std::string::npos) return;  // no count to restore
        std::size_t close = line.find(')');
        std::string saved = close == std::string::npos ? std::string() : line.substr(close + 1);
        line = line.substr(0, comma + 1) + saved + ")";
    }
}

void Engine::cmdIftime() {
    obtParam({1, 1});
    auto hour = [](const std::string& s) -> std::optional<double> {
        if (s.empty()) return std::nullopt;
        if (s.size() <= 2) return valorNumeric(s) * 3600;
        std::optional<int> t = parseTimeOfDay(s);
        if (!t) throw RunTimeError("not a time of day: " + s);
        return *t;
    };
    std::optional<double> h1 = hour(parametresLinia[0]);
    std::optional<double> h2 = hour(parametresLinia[1]);
    if (!insideWindow(h1, h2, platform_.now().secondOfDay())) skipBlockTo("iftime");
}

void Engine::cmdIfdate() {
    obtParam({1, 1, 1});
    DateTime now = platform_.now();
    std::optional<double> d1, d2;
    double d;
    if (valorNumeric(parametresLinia[2]) > 0) {
        d = weekdayNumber(now.day);
        d1 = valorNumeric(parametresLinia[0]);
        double v2 = valorNumeric(parametresLinia[1]);
        d2 = v2 == 0 ? *d1 : v2;
    } else {
        d = static_cast<double>(now.day);
        int year, month, dayOfMonth;
        civilFromSerial(now.day, year, month, dayOfMonth);
        auto date = [&](const std::string& s) -> std::optional<double> {
            if (s.empty()) return std::nullopt;
            if (s.size() <= 2) return static_cast<double>(now.day - dayOfMonth) + valorNumeric(s);
            std::optional<std::int64_t> v = parseDate(s, year);
            if (!v) throw RunTimeError("not a date: " + s);
            return static_cast<double>(*v);
        };
        d1 = date(parametresLinia[0]);
        d2 = date(parametresLinia[1]);
    }
    if (!insideWindow(d1, d2, d)) skipBlockTo("ifdate");
}

void Engine::cmdStop() { liniaActual = nombreLinies; }

void Engine::cmdBeep() { platform_.beep(); }

}  // namespace torvic
