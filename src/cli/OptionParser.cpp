#include "OptionParser.h"

#include "MessageQuote.h"

#include <QCommandLineParser>

#include <algorithm>
#include <map>

namespace kq {

namespace {

// Arguments go through Qt as Latin-1, one character per byte, so that a file
// name that is not UTF-8 comes back byte for byte.
QString fromBytes(const std::string& s) { return QString::fromLatin1(s.data(), qsizetype(s.size())); }
std::string toBytes(const QString& s) { return s.toLatin1().toStdString(); }

QString bare(const std::string& name) {
    const std::size_t start = name.find_first_not_of('-');
    return fromBytes(start == std::string::npos ? std::string() : name.substr(start));
}

std::string typed(const QString& bareName) {
    return (bareName.size() == 1 ? "-" : "--") + toBytes(bareName);
}

// Qt says which option lacks or has a value between quotes in its message;
// this program's words for it follow from the option.
std::string valueProblem(const QString& qtText,
                         const std::map<QString, const OptionSpec*>& byName) {
    const qsizetype from = qtText.indexOf(QLatin1Char('\''));
    const qsizetype to = qtText.lastIndexOf(QLatin1Char('\''));
    const QString name = from >= 0 && to > from ? qtText.mid(from + 1, to - from - 1) : QString();
    const auto spec = byName.find(bare(toBytes(name)));
    if (spec == byName.end()) return toBytes(qtText);
    return "option '" + spec->second->name + "' " +
           (spec->second->takesValue ? "needs a value" : "takes no value");
}

} // namespace

const std::string* ParsedOptions::option(const std::string& name) const {
    for (const Given& g : given)
        if (g.name == name) return &g.value;
    return nullptr;
}

std::vector<std::string> ParsedOptions::options(const std::string& name) const {
    std::vector<std::string> out;
    for (const Given& g : given)
        if (g.name == name) out.push_back(g.value);
    return out;
}

bool ParsedOptions::flag(const std::string& name) const { return option(name) != nullptr; }

ParsedOptions ParseOptions(const std::vector<std::string>& args,
                           const std::vector<OptionSpec>& specs) {
    QCommandLineParser parser;
    std::map<QString, const OptionSpec*> byName;
    for (const OptionSpec& s : specs) {
        const QString name = bare(s.name);
        byName[name] = &s;
        parser.addOption(QCommandLineOption(QStringList{name}, QString(),
                                            s.takesValue ? QStringLiteral("VALUE") : QString()));
    }
    QStringList list{QStringLiteral("program")};
    for (const std::string& a : args) list << fromBytes(a);
    if (!parser.parse(list)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            throw UsageError("unknown option '" + PathForMessage(typed(unknown.first())) + "'");
        throw UsageError(valueProblem(parser.errorText(), byName));
    }
    ParsedOptions out;
    // Qt keeps each option's values apart; the order given comes from the
    // names in order.
    std::map<QString, int> taken;
    for (const QString& name : parser.optionNames()) {
        const OptionSpec& spec = *byName.at(name);
        const int nth = taken[name]++;
        if (nth > 0 && !spec.repeatable)
            throw UsageError("option '" + spec.name + "' given twice");
        out.given.push_back(
            {spec.name, spec.takesValue ? toBytes(parser.values(name).at(nth)) : ""});
    }
    for (const QString& p : parser.positionalArguments()) out.positional.push_back(toBytes(p));
    return out;
}

} // namespace kq
