// The printed channel report as plain text: a heading block, a column
// heading and one row per channel.
#pragma once

#include "ClassKQxx53.h"

#include <ctime>
#include <string>
#include <vector>

namespace kq {

constexpr int ReportLineCount = 26;

// The 26 report lines, without line ends. fileName is the window's caption
// ("Untitled1" or the file's full path).
std::vector<std::string> ReportLines(const ClassKQxx53& dev, const std::string& fileName,
                                     const std::string& dateText);
// As above with an empty file name line ("FileName : "); prefer the form
// that takes the caption.
std::vector<std::string> ReportLines(const ClassKQxx53& dev, const std::string& dateText);

// The report as one text, every line ending with CR LF.
std::string ReportText(const std::vector<std::string>& lines);

// The date as the report prints it: year/month/day of the local time,
// without leading zeros ("2003/5/7").
std::string ReportDateText(std::time_t t);
// The same from its parts.
std::string ReportDateText(int year, int month, int day);

} // namespace kq
