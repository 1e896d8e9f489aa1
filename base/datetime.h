#pragma once
// Dates and clock texts. A date is a serial day number counted from
// 30/12/1899 (day 0), so a date plus a fraction of a day is a point in time.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvic {

inline constexpr int kSecondsPerDay = 86400;

struct DateTime {
    std::int64_t day = 0;      // serial day number
    std::int32_t msOfDay = 0;  // milliseconds since midnight

    int secondOfDay() const { return msOfDay / 1000; }
};

// The calendar's range, 01/01/100 to 31/12/9999: serial days outside it are
// not dates.
inline constexpr std::int64_t kFirstSerial = -657434;
inline constexpr std::int64_t kLastSerial = 2958465;

std::int64_t serialFromCivil(int year, int month, int day);
// `serial` must lie in the calendar's range.
void civilFromSerial(std::int64_t serial, int& year, int& month, int& day);
bool validCivil(int year, int month, int day);

// Sunday 1, Monday 2, ..., Saturday 7.
int weekdayNumber(std::int64_t serial);

// "HH:MM:SS" on the 24-hour clock for a second of the day (taken modulo a day).
std::string clockText(int secondOfDay);
// "dd/mm/yy".
std::string dateText(std::int64_t serial);

// A time-of-day text: H:MM or H:MM:SS (one or two digits each, blanks around
// ignored). Returns the second of the day, or nothing when it is not a time.
std::optional<int> parseTimeOfDay(std::string_view text);

// A date text day/month/year; a two-digit (or shorter) year below 30 is in
// the 2000s, otherwise in the 1900s. With `currentYear` set, day/month alone
// is accepted and falls in that year. Returns the serial day, or nothing.
std::optional<std::int64_t> parseDate(std::string_view text, std::optional<int> currentYear = std::nullopt);


}  // namespace torvic
