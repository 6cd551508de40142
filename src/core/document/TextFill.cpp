#include "TextFill.h"

#include <algorithm>
#include <sstream>

namespace kq {

std::string FillText(const std::string& text, std::size_t first, std::size_t rest,
                     std::size_t width) {
    std::istringstream words(text);
    std::string out(first, ' '), word;
    std::size_t column = first;
    bool lineEmpty = true;
    while (words >> word) {
        // A word wider than a whole line is cut where the line ends.
        while (word.size() > width - rest && (lineEmpty || column + 1 + word.size() > width)) {
            const std::size_t room = width - column - (lineEmpty ? 0 : 1);
            if (room > 0 && room < word.size()) {
                out += (lineEmpty ? "" : " ") + word.substr(0, room);
                word.erase(0, room);
            }
            out += "\n" + std::string(rest, ' ');
            column = rest;
            lineEmpty = true;
        }
        if (!lineEmpty && column + 1 + word.size() > width) {
            out += "\n" + std::string(rest, ' ');
            column = rest;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineEmpty = false;
    }
    return out + "\n";
}

std::size_t OptionColumn(const std::vector<OptionHelp>& options, std::size_t indent) {
    std::size_t names = 0;
    for (const auto& o : options)
        if (o.names.size() <= kMaxOptionNames) names = std::max(names, o.names.size());
    return indent + names + 2;
}

std::string OptionTable(const std::vector<OptionHelp>& options, std::size_t indent,
                        std::size_t width, std::size_t column) {
    if (column == 0) column = OptionColumn(options, indent);
    std::string out;
    for (const auto& o : options) {
        const std::string head = std::string(indent, ' ') + o.names;
        const std::string text = FillText(o.text, column, column, width);
        out += o.names.size() > kMaxOptionNames || head.size() + 2 > column
                   ? head + "\n" + text
                   : head + text.substr(head.size());
    }
    return out;
}

} // namespace kq
