// The command line of one kqtool command: positional arguments, "-x VALUE"
// options and value-less flags, each named in its allowed list.
#pragma once

#include "Commands.h"
#include "OptionParser.h"

#include <set>
#include <string>
#include <vector>

namespace kqtool {

using Args = kq::ParsedOptions;

// Throws UsageError for an unknown option, a missing value, an option given
// twice (unless repeatable) or the wrong number of positional arguments.
Args parseArgs(const std::vector<std::string>& args, const std::set<std::string>& allowed,
               std::size_t positionalCount, const std::set<std::string>& allowedFlags = {},
               const std::set<std::string>& repeatable = {});

} // namespace kqtool
