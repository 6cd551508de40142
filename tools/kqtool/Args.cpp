#include "Args.h"

namespace kqtool {

const std::string* Args::option(const std::string& name) const {
    for (const auto& o : options)
        if (o.first == name) return &o.second;
    return nullptr;
}

Args parseArgs(const std::vector<std::string>& args, const std::set<std::string>& allowed,
               std::size_t positionalCount, const std::set<std::string>& allowedFlags) {
    Args a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        if (s.size() > 1 && s[0] == '-' && !(s[1] >= '0' && s[1] <= '9')) {
            if (allowedFlags.count(s)) {
                if (!a.flags.insert(s).second) throw UsageError{"option '" + s + "' given twice"};
                continue;
            }
            if (!allowed.count(s)) throw UsageError{"unknown option '" + s + "'"};
            if (i + 1 >= args.size()) throw UsageError{"option '" + s + "' needs a value"};
            if (a.option(s)) throw UsageError{"option '" + s + "' given twice"};
            a.options.emplace_back(s, args[++i]);
        } else {
            a.positional.push_back(s);
        }
    }
    if (a.positional.size() != positionalCount) {
        throw UsageError{positionalCount == 0
                             ? "unexpected argument '" + a.positional[0] + "'"
                             : "expected " + std::to_string(positionalCount) + " file name" +
                                   (positionalCount > 1 ? "s" : "")};
    }
    return a;
}

} // namespace kqtool
