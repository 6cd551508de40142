// Help and usage texts filled into lines of a given width, for the
// programs' --help.
#pragma once

#include <cstddef>
#include <string>

namespace kq {

// text filled into lines of at most width columns, the first indented by
// first blanks, the others by rest, ending in a line end. A word wider than
// a whole line is cut where the line ends.
std::string FillText(const std::string& text, std::size_t first, std::size_t rest,
                     std::size_t width);

} // namespace kq
