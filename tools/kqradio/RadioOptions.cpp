#include "RadioOptions.h"

#include "ExitStatus.h"
#include "KqErrors.h"
#include "KqVersion.h"
#include "MessageQuote.h"
#include "OptionParser.h"
#include "SystemOption.h"
#include "TextFill.h"

#include <cstdio>
#include <functional>
#include <stdexcept>

namespace kqradio {

namespace {

// A fault of every read of word (all words by default).
kq::WordFault Always(kq::WordFault::Kind kind, int word = kq::WordFault::kEveryWord, int at = 0) {
    kq::WordFault f;
    f.word = word;
    f.kind = kind;
    f.always = true;
    f.ms = at;
    return f;
}

struct BadValue : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int Number(const std::string& v) {
    size_t used = 0;
    int n = -1;
    try {
        n = std::stoi(v, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != v.size() || v.empty() || n < 0) throw BadValue("a number 0 or more");
    return n;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'r' || s[i + 1] == 'n'))
            out += s[++i] == 'r' ? '\r' : '\n';
        else
            out += s[i];
    }
    return out;
}

struct Option {
    const char* name;
    const char* arg; // nullptr: a switch
    std::string help;
    std::function<void(RadioSetup&, const std::string&)> set;
    const char* group = nullptr; // a heading before this option
};

const std::vector<Option>& Table() {
    using O = RadioSetup;
    using S = const std::string&;
    static const std::vector<Option> t = {
        {"--model", "CODE",
         "the model code in word 1, by code or name: " + kq::ModelCodesText() +
             " (default 2, the model of a new table)",
         [](O& o, S v) {
             o.model = kq::ParseModelCode(v);
             if (o.model < 0) throw BadValue(kq::ModelCodesText());
         },
         "The radio:"},
        {"--image", "FILE.KQ", "start with this channel file's image",
         [](O& o, S v) { o.image = v; }},
        {"--save", "FILE.KQ", "on exit, save the image the radio holds",
         [](O& o, S v) { o.save = v; }},
        {"--no-pace", nullptr,
         "send at once instead of one character per 1.146 ms (9600 baud, 8N2)",
         [](O& o, S) { o.radio.paceOutput = false; }, "Timing (a real radio and cable):"},
        {"--pace-input", nullptr,
         "also take the computer's characters one per 1.146 ms, as a real line brings them (a "
         "whole-frame echo then ends 16 ms after the frame was sent)",
         [](O& o, S) { o.radio.paceInput = true; }},
        {"--eeprom-ms", "N",
         "from the CR of a write frame the radio programs the word for N ms and loses every "
         "character arriving meanwhile (default 10; 0 for none)",
         [](O& o, S v) { o.radio.eepromMs = Number(v); }},
        {"--answer-delay", "N", "the answer to a read frame starts N ms after its echo",
         [](O& o, S v) { o.radio.answerDelayMs = Number(v); }},
        {"--latency", "N",
         "what the radio sends reaches the computer in bursts every N ms, as through a USB serial "
         "adapter",
         [](O& o, S v) { o.radio.latencyMs = Number(v); }},
        {"--echo-per-char", nullptr,
         "echo each character as it arrives (a probe's echo is its answer) instead of the whole "
         "frame after its CR",
         [](O& o, S) { o.radio.echoPerChar = true; }},
        {"--crlf", nullptr, "read answers end with CR LF instead of CR",
         [](O& o, S) { o.radio.faults.push_back(Always(kq::WordFault::Kind::CrLf)); },
         "Odd answers that the link copes with:"},
        {"--probe-extra", "TEXT",
         "send TEXT 5 ms after answering a probe that follows 400 ms without a character from the "
         "computer (the first of a port search's pair; \\r and \\n understood)",
         [](O& o, S v) { o.radio.probeExtra = Unescape(v); }},
        {"--no-probe", nullptr, "do not answer the probe (no radio on this port)",
         [](O& o, S) { o.radio.noProbe = true; }, "Faults:"},
        {"--present", "FILE",
         "be plugged in only while FILE exists: without it every character is lost, as with the "
         "radio unplugged",
         [](O& o, S v) { o.present = v; }},
        {"--silent-from", "N", "no answer to frames for words N and above",
         [](O& o, S v) {
             for (int w = Number(v); w < 64; ++w)
                 o.radio.faults.push_back(Always(kq::WordFault::Kind::Silent, w));
         }},
        {"--bad-readback", "N", "word N reads back with its lowest bit flipped",
         [](O& o, S v) { o.radio.faults.push_back(Always(kq::WordFault::Kind::Wrong, Number(v))); }},
        {"--bad-id", nullptr, "word 0 holds 0xC501 instead of 0xC500",
         [](O& o, S) { o.badId = true; }},
        {"--short-answer", nullptr, "read answers carry four digits and no CR",
         [](O& o, S) { o.radio.faults.push_back(Always(kq::WordFault::Kind::Cut, kq::WordFault::kEveryWord, 4)); }},
        {"--no-echo", nullptr, "echo nothing: neither the radio nor the cable returns the frames",
         [](O& o, S) { o.radio.noEcho = true; }},
        {"--noise-every", "N",
         "a stray character slips into the reply to the first read of every N-th word, at a "
         "different place each time",
         [](O& o, S v) { o.noiseEvery = Number(v); }},
        {"--help", nullptr, "show this help and exit", nullptr, "Other:"},
        {"--version", nullptr, "show the version and exit", nullptr},
    };
    return t;
}

std::string Usage() {
    std::string s = "Usage: kqradio [OPTION]...\n"
                    "Plays a KQ radio on a new pseudo-terminal: prints the terminal's path, then\n"
                    "answers the probe and the word frames until it is terminated.\n"
                    "Options take their value as --opt VALUE or --opt=VALUE.\n";
    std::vector<kq::OptionHelp> all;
    for (const Option& o : Table())
        all.push_back({std::string(o.name) + (o.arg ? std::string(" ") + o.arg : ""), o.help});
    // One column for the texts of all the groups.
    const std::size_t column = kq::OptionColumn(all, 2);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (const char* group = Table()[i].group) s += std::string("\n") + group + "\n";
        s += kq::OptionTable({all[i]}, 2, 80, column);
    }
    return s + kq::ExitStatusHelp({{kq::ExitOk, "Stopped by a signal."},
                                   {kq::ExitFailure, "The image could not be loaded or saved."},
                                   {kq::ExitUsage, ""}},
                                  80);
}

int UsageError(const std::string& what) {
    std::fprintf(stderr, "kqradio: %s\nTry 'kqradio --help' for more information.\n", what.c_str());
    return kq::ExitUsage;
}

// 0: go on; otherwise the exit status (help, version, a bad option).
} // namespace

int ParseRadioOptions(int argc, char** argv, RadioSetup& o) {
    // Each option may come again: the last value counts, and each fault adds
    // to the others.
    std::vector<kq::OptionSpec> specs = {{"-h", false, true}};
    for (const Option& t : Table()) specs.push_back({t.name, t.arg != nullptr, true});
    kq::ParsedOptions given;
    try {
        given = kq::ParseOptions({argv + 1, argv + argc}, specs);
    } catch (const kq::UsageError& e) {
        return UsageError(e.what());
    }
    if (!given.positional.empty())
        return UsageError("unexpected argument '" + kq::PathForMessage(given.positional[0]) + "'");
    if (given.flag("--help") || given.flag("-h")) {
        std::fputs(Usage().c_str(), stdout);
        return -1;
    }
    if (given.flag("--version")) {
        std::printf("kqradio %s\n", kq::ProgramVersion);
        return -1;
    }
    for (const auto& g : given.given) {
        for (const Option& t : Table()) {
            if (g.name != t.name || !t.set) continue;
            try {
                t.set(o, g.value);
            } catch (const BadValue& e) {
                return UsageError("bad value '" + g.value + "' for " + g.name + " (use " + e.what() +
                                  ")");
            }
        }
    }
    return 0;
}


RadioSetup ParseRadioOptions(const std::vector<std::string>& options) {
    std::vector<std::string> args = options;
    args.insert(args.begin(), "kqradio");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    RadioSetup setup;
    if (ParseRadioOptions(static_cast<int>(args.size()), argv.data(), setup) != 0)
        throw std::invalid_argument("bad kqradio options");
    return setup;
}

} // namespace kqradio
