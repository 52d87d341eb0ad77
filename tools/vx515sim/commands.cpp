#include "vx515sim/commands.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace vx::sim {

namespace {

std::vector<std::string> words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> result;
    for (std::string word; in >> word;)
        result.push_back(word);
    return result;
}

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

template <typename Number> bool parseNumber(const std::string& text, Number& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

std::optional<bool> parseOnOff(const std::string& text) {
    const std::string word = lower(text);
    if (word == "on")
        return true;
    if (word == "off")
        return false;
    return std::nullopt;
}

} // namespace

OptionsResult parseOptions(const std::vector<std::string>& args) {
    Options options;
    bool havePort = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (name == "-h" || name == "--help") {
            options.help = true;
            continue;
        }
        if (name == "--version") {
            options.version = true;
            continue;
        }
        if (name == "--still") {
            options.still = true;
            continue;
        }
        if (name != "--dir" && name != "--port" && name != "--axes" && name != "--unit" &&
            name != "--log" && name != "--seed" && name != "--stream")
            return {std::nullopt, "unknown option " + name};
        if (!value) {
            if (i + 1 >= args.size())
                return {std::nullopt, name + " needs a value"};
            value = args[++i];
        }
        if (name == "--dir") {
            options.dir = *value;
        } else if (name == "--port") {
            if (!parseNumber(*value, options.port) || options.port < 1 || options.port > 255)
                return {std::nullopt, "--port takes a number from 1 to 255"};
            havePort = true;
        } else if (name == "--axes") {
            if (*value != "2" && *value != "3")
                return {std::nullopt, "--axes takes 2 or 3"};
            options.axes = *value == "2" ? 2 : 3;
        } else if (name == "--unit") {
            if (*value != "mm" && *value != "inch")
                return {std::nullopt, "--unit takes mm or inch"};
            options.unit = *value == "inch" ? Unit::Inch : Unit::Millimetre;
        } else if (name == "--log") {
            options.logFile = *value;
        } else if (name == "--stream") {
            if (!parseNumber(*value, options.streamRate) || options.streamRate < 1 ||
                options.streamRate > MaxStreamRate)
                return {std::nullopt, "--stream takes a number of lines a second from 1 to " +
                                          std::to_string(MaxStreamRate)};
        } else if (!parseNumber(*value, options.seed)) {
            return {std::nullopt, "--seed takes an unsigned number"};
        }
    }
    if (options.help || options.version)
        return {options, {}};
    if (options.dir.empty())
        return {std::nullopt, "--dir is required"};
    if (!havePort)
        return {std::nullopt, "--port is required"};
    return {options, {}};
}

std::string usageText() {
    return R"(Usage: vx515sim --dir DIR --port N [--axes 2|3] [--unit mm|inch] [--log FILE] [--seed S]
                [--stream RATE] [--still]

Plays a Vx515 digital readout counter at the far end of a pseudo-terminal, linked as DIR/COM<N>.
When the link is ready it prints "READY <linkpath>" on standard output.

Options:
  --dir DIR        folder for the link (must exist)
  --port N         port number 1..255: the link is DIR/COM<N>
  --axes 2|3       two- or three-axis counter (default 3)
  --unit mm|inch   unit shown at start (default mm)
  --log FILE       log to FILE (replaced, flushed per line) instead of standard output
  --seed S         seed of the slow drift of the axes (default 1)
  --stream RATE    also send RATE lines a second unasked (1..1000), for a terminal program that
                   does not poll; a line that would start while the previous one is still on the
                   wire is left out and logged
  --still          the axes do not drift: the same line until a key or a command changes it
  -h, --help       this text
  --version        the version

The counter answers every "O" with one line, paced at the speed set on the port (11 bits a
character), and takes the key codes 0-6 and 8; other bytes are logged and ignored.

Commands on standard input, one a line (end of input does not stop the simulator):
  axes 2|3           become a two- or three-axis counter
  record             the next line carries the record marker "T"
  silent on|off      answer no polls (and stream no lines)
  noise [N]          send N (default 16, at most 4096) bytes of printable noise and a line feed
  split on|off       send each line in two parts with 80 ms between them
  nocr on|off        end lines with a line feed only
  pull [mid]         close the pseudo-terminal and remove the link, as a pulled cable; with
                     "mid", in the middle of the next line, 80 ms after its first half
  plug               a new pseudo-terminal at the same link
  set x|y|z VALUE    set an axis position in millimetres
  quit               remove the link and end (as do SIGTERM and SIGINT)
)";
}

CommandResult parseCommand(std::string_view line) {
    const std::vector<std::string> w = words(line);
    if (w.empty())
        return {};
    const std::string verb = lower(w[0]);
    const auto fail = [&verb](const std::string& usage) {
        return CommandResult{std::nullopt, "usage: " + verb + (usage.empty() ? "" : " ") + usage};
    };
    Command command;
    const auto noArguments = [&](Command::Kind kind) {
        if (w.size() != 1)
            return fail("");
        command.kind = kind;
        return CommandResult{command, {}};
    };
    const auto onOff = [&](Command::Kind kind) {
        const std::optional<bool> on = w.size() == 2 ? parseOnOff(w[1]) : std::nullopt;
        if (!on)
            return fail("on|off");
        command.kind = kind;
        command.on = *on;
        return CommandResult{command, {}};
    };

    if (verb == "axes") {
        if (w.size() != 2 || (w[1] != "2" && w[1] != "3"))
            return fail("2|3");
        command.kind = Command::Kind::Axes;
        command.number = w[1] == "2" ? 2 : 3;
        return {command, {}};
    }
    if (verb == "record")
        return noArguments(Command::Kind::Record);
    if (verb == "silent")
        return onOff(Command::Kind::Silent);
    if (verb == "split")
        return onOff(Command::Kind::Split);
    if (verb == "nocr")
        return onOff(Command::Kind::NoCr);
    if (verb == "noise") {
        command.kind = Command::Kind::Noise;
        command.number = DefaultNoiseBytes;
        if (w.size() > 2 ||
            (w.size() == 2 && (!parseNumber(w[1], command.number) || command.number < 1 ||
                               command.number > MaxNoiseBytes)))
            return fail("[N], N from 1 to " + std::to_string(MaxNoiseBytes));
        return {command, {}};
    }
    if (verb == "pull") {
        if (w.size() > 2 || (w.size() == 2 && lower(w[1]) != "mid"))
            return fail("[mid]");
        command.kind = Command::Kind::Pull;
        command.on = w.size() == 2;
        return {command, {}};
    }
    if (verb == "plug")
        return noArguments(Command::Kind::Plug);
    if (verb == "quit")
        return noArguments(Command::Kind::Quit);
    if (verb == "set") {
        if (w.size() != 3)
            return fail("x|y|z VALUE");
        const std::string axis = lower(w[1]);
        if (axis == "x")
            command.axis = Axis::X;
        else if (axis == "y")
            command.axis = Axis::Y;
        else if (axis == "z")
            command.axis = Axis::Z;
        else
            return fail("x|y|z VALUE");
        if (!parseNumber(w[2], command.value) || !std::isfinite(command.value))
            return fail("x|y|z VALUE");
        command.kind = Command::Kind::Set;
        return {command, {}};
    }
    return {std::nullopt, "unknown command \"" + w[0] + "\""};
}

std::string makeNoise(Rng& rng, int count) {
    std::string noise;
    noise.reserve(static_cast<std::size_t>(count) + 1);
    for (int i = 0; i < count; ++i) {
        char c = 0;
        do
            c = static_cast<char>(' ' + rng.below('~' - ' ' + 1));
        while (i == 0 && c == 'X');
        noise += c;
    }
    noise += '\n';
    return noise;
}

std::string quoteBytes(std::string_view bytes) {
    std::string text = "\"";
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (u < 0x20 || u > 0x7e) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", u);
            text += escaped;
        } else {
            text += c;
        }
    }
    text += '"';
    return text;
}

} // namespace vx::sim
