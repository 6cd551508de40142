#include "ReportText.h"

#include "ChannelText.h"

namespace kq {

std::vector<std::string> ReportLines(const ClassKQxx53& dev, const std::string& fileName,
                                     const std::string& dateText) {
    std::vector<std::string> lines;
    lines.reserve(ReportLineCount);
    lines.emplace_back();
    lines.emplace_back();
    lines.push_back("Model    : " + dev.ModelName());
    lines.push_back("IF       : " + DecimalText(dev.RFIF()) + " MHz");
    lines.push_back("Refer Osc: " + DecimalText(dev.ReferOSC()) + " MHz");
    lines.push_back("FileName : " + fileName);
    lines.push_back("Date     : " + dateText);
    lines.emplace_back();
    lines.emplace_back("CH CHSW RX Freq.  RX Space   TX Freq.  Tx Space PWR");
    lines.emplace_back(52, '-');
    for (int16_t ch = ClassKQxx53::FirstCHNumber(); ch <= ClassKQxx53::LastCHNumber(); ++ch) {
        lines.push_back(ChannelRow(dev, ch));
    }
    return lines;
}

std::string ReportText(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) {
        text += l;
        text += "\r\n";
    }
    return text;
}

namespace {

CalendarDate localDate(std::time_t t) {
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

} // namespace

CalendarDate SystemClock() { return localDate(std::time(nullptr)); }

std::string ReportDateText(const CalendarDate& date) {
    return std::to_string(date.year) + "/" + std::to_string(date.month) + "/" +
           std::to_string(date.day);
}

std::string ReportDateText(const Clock& clock) { return ReportDateText(clock()); }

} // namespace kq
