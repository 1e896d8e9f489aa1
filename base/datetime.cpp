#include "base/datetime.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "base/text.h"

namespace torvic {
namespace {

constexpr std::int64_t kEpochShift = 25569;  // serial day of 01/01/1970

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int toInt(std::string_view s) {
    int v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

}  // namespace

std::int64_t serialFromCivil(int year, int month, int day) {
    using namespace std::chrono;
    sys_days d = std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                 std::chrono::day{static_cast<unsigned>(day)};
    return d.time_since_epoch().count() + kEpochShift;
}

void civilFromSerial(std::int64_t serial, int& year, int& month, int& day) {
    using namespace std::chrono;
    year_month_day ymd{sys_days{days{serial - kEpochShift}}};
    year = static_cast<int>(ymd.year());
    month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    day = static_cast<int>(static_cast<unsigned>(ymd.day()));
}

bool validCivil(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1 || year > 9999) return false;
    using namespace std::chrono;
    return year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                          std::chrono::day{static_cast<unsigned>(day)}}
        .ok();
}

int weekdayNumber(std::int64_t serial) {
    // Day 0 (30/12/1899) was a Saturday.
    return static_cast<int>(((serial + 6) % 7 + 7) % 7) + 1;
}

std::string clockText(int secondOfDay) {
    int s = ((secondOfDay % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    return buf;
}

std::string dateText(std::int64_t serial) {
    int y, m, d;
    civilFromSerial(serial, y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", d, m, ((y % 100) + 100) % 100);
    return buf;
}

std::optional<int> parseTimeOfDay(std::string_view text) {
    auto parts = split(trimBlanks(text), ':');
    if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
    int v[3] = {0, 0, 0};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!allDigits(parts[i]) || parts[i].size() > 2) return std::nullopt;
        v[i] = toInt(parts[i]);
    }
    if (v[0] > 23 || v[1] > 59 || v[2] > 59) return std::nullopt;
    return v[0] * 3600 + v[1] * 60 + v[2];
}

std::optional<std::int64_t> parseDate(std::string_view text, std::optional<int> currentYear) {
    auto parts = split(trimBlanks(text), '/');
    if (parts.size() == 2 && !currentYear) return std::nullopt;
    if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
    for (auto p : parts)
        if (!allDigits(p) || p.size() > 4) return std::nullopt;
    if (parts[0].size() > 2 || parts[1].size() > 2) return std::nullopt;
    int d = toInt(parts[0]), m = toInt(parts[1]);
    int y;
    if (parts.size() == 2) {
        y = *currentYear;
    } else {
        y = toInt(parts[2]);
        if (parts[2].size() <= 2) y += y < 30 ? 2000 : 1900;
    }
    if (!validCivil(y, m, d)) return std::nullopt;
    return serialFromCivil(y, m, d);
}

}  // namespace torvic
