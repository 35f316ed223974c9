#include "host/CommandLine.h"

#include "host/ScriptLexer.h"

#include <algorithm>

namespace zekhost {

const char* const Usage =
    "usage: zekhost [--extender PATH] [--host-version N] [--offer V1,V2,...] [--expect FILE]\n"
    "               [--standin-check] [--standin PATH] [--com sta|mta] [--load-thread]\n"
    "               [--define NAME=TEXT ...] (--info | SCRIPT)\n";

namespace {

bool Unsigned(const std::string& text, std::uint32_t& value) {
    IntegerLiteral literal;
    return ParseIntegerLiteral(text, literal) && ToUint32(literal, value);
}

} // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, Options& options,
                      std::string& error) {
    options = Options{};
    bool haveScript = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string value;
        bool inlineValue = false;
        if (name.compare(0, 2, "--") == 0 && name.find('=') != std::string::npos) {
            value = name.substr(name.find('=') + 1);
            name = name.substr(0, name.find('='));
            inlineValue = true;
        }
        const bool takesValue = name == "--extender" || name == "--host-version" ||
                                name == "--offer" || name == "--expect" || name == "--define" ||
                                name == "--com" || name == "--standin";
        if (takesValue && !inlineValue) {
            if (i + 1 >= arguments.size()) {
                error = name + " needs a value";
                return false;
            }
            value = arguments[++i];
        }
        if (name == "--extender") {
            options.extender = value;
        } else if (name == "--host-version") {
            if (!Unsigned(value, options.hostVersion)) {
                error = "bad host version '" + value + "'";
                return false;
            }
        } else if (name == "--offer") {
            // An empty list offers nothing at all.
            options.offered.clear();
            std::size_t start = 0;
            while (!value.empty() && start <= value.size()) {
                const std::size_t comma = std::min(value.find(',', start), value.size());
                std::uint32_t version = 0;
                if (!Unsigned(value.substr(start, comma - start), version)) {
                    error = "bad interface version list '" + value + "'";
                    return false;
                }
                options.offered.push_back(version);
                start = comma + 1;
            }
        } else if (name == "--expect") {
            options.expect = value;
        } else if (name == "--define") {
            const std::size_t equals = value.find('=');
            if (equals == 0 || equals == std::string::npos) {
                error = "--define needs NAME=TEXT, got '" + value + "'";
                return false;
            }
            options.defines.emplace_back(value.substr(0, equals), value.substr(equals + 1));
        } else if (name == "--info" && !inlineValue) {
            options.info = true;
        } else if (name == "--standin-check" && !inlineValue) {
            options.standinCheck = true;
        } else if (name == "--standin") {
            options.standin = value;
        } else if (name == "--com") {
            if (value != "sta" && value != "mta") {
                error = "--com takes sta or mta, got '" + value + "'";
                return false;
            }
            options.com = value;
        } else if (name == "--load-thread" && !inlineValue) {
            options.loadThread = true;
        } else if (name.compare(0, 1, "-") == 0 && name != "-") {
            error = "unknown option " + arguments[i];
            return false;
        } else if (haveScript) {
            error = "more than one script";
            return false;
        } else {
            options.script = name;
            haveScript = true;
        }
    }
    if (options.info == haveScript) {
        error = options.info ? "--info takes no script" : "no script given";
        return false;
    }
    return true;
}

} // namespace zekhost
