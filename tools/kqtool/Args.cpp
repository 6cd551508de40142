#include "Args.h"

#include "MessageQuote.h"

namespace kqtool {

const std::string* Args::option(const std::string& name) const {
    for (const auto& o : options)
        if (o.first == name) return &o.second;
    return nullptr;
}

Args parseArgs(const std::vector<std::string>& args, const std::set<std::string>& allowed,
               std::size_t positionalCount, const std::set<std::string>& allowedFlags) {
    Args a;
    bool optionsEnd = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        if (optionsEnd || s.size() < 2 || s[0] != '-' || (s[1] >= '0' && s[1] <= '9')) {
            a.positional.push_back(s);
            continue;
        }
        if (s == "--") {
            optionsEnd = true;
            continue;
        }
        // --name=value as well as --name value.
        const std::size_t eq = s.rfind("--", 0) == 0 ? s.find('=') : std::string::npos;
        const std::string name = s.substr(0, eq);
        if (allowedFlags.count(name)) {
            if (eq != std::string::npos) throw UsageError{"option '" + name + "' takes no value"};
            if (!a.flags.insert(name).second) throw UsageError{"option '" + name + "' given twice"};
            continue;
        }
        if (!allowed.count(name))
            throw UsageError{"unknown option '" + kq::PathForMessage(name) + "'"};
        if (eq == std::string::npos && i + 1 >= args.size())
            throw UsageError{"option '" + name + "' needs a value"};
        if (a.option(name)) throw UsageError{"option '" + name + "' given twice"};
        a.options.emplace_back(name, eq == std::string::npos ? args[++i] : s.substr(eq + 1));
    }
    if (a.positional.size() != positionalCount) {
        throw UsageError{positionalCount == 0
                             ? "unexpected argument '" + kq::PathForMessage(a.positional[0]) + "'"
                             : "expected " + std::to_string(positionalCount) + " file name" +
                                   (positionalCount > 1 ? "s" : "")};
    }
    return a;
}

} // namespace kqtool
