// The command line of one kqtool command: positional arguments, "-x VALUE"
// options and value-less flags, each named in its allowed list.
#pragma once

#include "Commands.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kqtool {

struct Args {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;
    std::set<std::string> flags;

    const std::string* option(const std::string& name) const;
    bool flag(const std::string& name) const { return flags.count(name) != 0; }
};

// Throws UsageError for an unknown option, a missing value, an option given
// twice or the wrong number of positional arguments.
Args parseArgs(const std::vector<std::string>& args, const std::set<std::string>& allowed,
               std::size_t positionalCount, const std::set<std::string>& allowedFlags = {});

} // namespace kqtool
