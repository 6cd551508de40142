#include "TextFill.h"

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

} // namespace kq
