#include "host/StandinChannel.h"

namespace zekhost {
namespace {

// One transcript line whatever the reply holds: control characters become \xHH.
std::string OneLine(const std::string& reply) {
    std::string line;
    for (const char c : reply) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            static const char digits[] = "0123456789ABCDEF";
            line += "\\x";
            line += digits[byte >> 4];
            line += digits[byte & 0xF];
        } else {
            line += c;
        }
    }
    return line;
}

} // namespace

std::string RunStandinCommand(StandinChannel* channel, const std::string& command) {
    std::int32_t status = 0;
    std::string reply;
    if (channel == nullptr || !channel->Send(command, status, reply)) {
        return "standin unavailable\n";
    }
    return (status == 0 ? "standin: " : "standin refused: ") + OneLine(reply) + "\n";
}

std::string CheckStandin(StandinChannel& channel) {
    std::int32_t status = 0;
    std::string reply;
    if (!channel.Send("check", status, reply) || status == 0) {
        return std::string();
    }
    return "!! " + OneLine(reply) + "\n";
}

} // namespace zekhost
