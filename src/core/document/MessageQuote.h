// User text quoted inside a one-line message, safe to show on a terminal.
#pragma once

#include <cstddef>
#include <string>

namespace kq {

// text in double quotes, on one line whatever it holds: control characters
// (C0, DEL, C1), line and paragraph separators, bidirectional overrides and
// bytes that are not UTF-8 are shown escaped (\r, \n, \t, \xHH, \u202E);
// backslash and double quote are escaped too. Only the first maxChars
// characters are kept; a longer text ends in "...".
std::string QuoteForMessage(const std::string& text, std::size_t maxChars = 40);

// A file name as a message shows it: as it is when it shows as one plain
// line, else whole in QuoteForMessage's form, so that a name holding a line
// end or a terminal control sequence cannot split or forge a message.
std::string PathForMessage(const std::string& path);

} // namespace kq
