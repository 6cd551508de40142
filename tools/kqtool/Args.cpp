#include "Args.h"

#include "MessageQuote.h"

namespace kqtool {

Args parseArgs(const std::vector<std::string>& args, const std::set<std::string>& allowed,
               std::size_t positionalCount, const std::set<std::string>& allowedFlags,
               const std::set<std::string>& repeatable) {
    std::vector<kq::OptionSpec> specs;
    for (const std::string& name : allowed) specs.push_back({name, true, repeatable.count(name) > 0});
    for (const std::string& name : allowedFlags) specs.push_back({name, false, false});
    Args a = kq::ParseOptions(args, specs);
    if (a.positional.size() != positionalCount) {
        throw UsageError{positionalCount == 0
                             ? "unexpected argument '" + kq::PathForMessage(a.positional[0]) + "'"
                             : "expected " + std::to_string(positionalCount) + " file name" +
                                   (positionalCount > 1 ? "s" : "")};
    }
    return a;
}

} // namespace kqtool
