// A program's command line read against its list of options, by Qt's
// parser: "--opt VALUE" and "--opt=VALUE", "-o VALUE", "--" ending the
// options and "-" an ordinary argument (standard input or output).
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace kq {

// A bad command line: the programs print the message and exit with
// ExitUsage.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::string name;         // as typed: "--port", "-o"
    bool takesValue = false;
    bool repeatable = false;  // else given twice is an error
};

struct ParsedOptions {
    struct Given {
        std::string name; // as in its OptionSpec
        std::string value; // "" for a flag
    };
    std::vector<std::string> positional;
    std::vector<Given> given; // the options, in the order given

    // The option's value (the first when repeatable), nullptr when not given.
    const std::string* option(const std::string& name) const;
    std::vector<std::string> options(const std::string& name) const;
    bool flag(const std::string& name) const;
};

// Throws UsageError for an unknown option, a missing or unexpected value, or
// an option given twice that is not repeatable.
ParsedOptions ParseOptions(const std::vector<std::string>& args,
                           const std::vector<OptionSpec>& specs);

} // namespace kq
