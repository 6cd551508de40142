// The printed channel report as plain text: a heading block, a column
// heading and one row per channel.
#pragma once

#include "ClassKQxx53.h"

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace kq {

constexpr int ReportLineCount = 26;

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// Where the report's date comes from. The program asks the system clock; a
// test or a command line hands in a fixed day instead.
using Clock = std::function<CalendarDate()>;

// Today in local time.
CalendarDate SystemClock();

// The date as the report prints it, without leading zeros ("2003/5/7").
std::string ReportDateText(const CalendarDate& date);
std::string ReportDateText(const Clock& clock);

// The 26 report lines, without line ends. fileName is the window's caption
// ("Untitled1" or the file's full path).
std::vector<std::string> ReportLines(const ClassKQxx53& dev, const std::string& fileName,
                                     const std::string& dateText);

// The report as one text, every line ending with CR LF.
std::string ReportText(const std::vector<std::string>& lines);

} // namespace kq
