// Help and usage texts filled into lines of a given width, for the
// programs' --help.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kq {

// text filled into lines of at most width columns, the first indented by
// first blanks, the others by rest, ending in a line end. A word wider than
// a whole line is cut where the line ends.
std::string FillText(const std::string& text, std::size_t first, std::size_t rest,
                     std::size_t width);

// One option line of a --help text.
struct OptionHelp {
    std::string names; // as typed, with its value: "-o OUT.csv", "--rx, --tx"
    std::string text;
};

// Option names longer than this put their text on the next line.
constexpr std::size_t kMaxOptionNames = 24;

// The column option texts start in: two blanks past the longest names that
// fit kMaxOptionNames, after indent.
std::size_t OptionColumn(const std::vector<OptionHelp>& options, std::size_t indent);

// "NAMES  TEXT" lines indented by indent, the texts filled from column
// (0: OptionColumn of options) to width.
std::string OptionTable(const std::vector<OptionHelp>& options, std::size_t indent,
                        std::size_t width, std::size_t column = 0);

} // namespace kq
