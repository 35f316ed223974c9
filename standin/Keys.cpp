#include "standin/Keys.h"

#include "common/HexDigits.h"

#include <cstdio>
#include <cstring>

namespace standin {
namespace {

bool ReadPid(std::string_view text, DWORD& pid) {
    std::uint64_t value = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        if (text.size() > 10 || !zekcommon::ReadHexDigits(text, 2, text.size() - 2, value)) {
            return false;
        }
    } else {
        if (text.empty() || text.size() > 10) {
            return false;
        }
        for (char c : text) {
            if (c < '0' || c > '9') {
                return false;
            }
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
        }
    }
    if (value > 0xFFFFFFFFu) {
        return false;
    }
    pid = static_cast<DWORD>(value);
    return true;
}

} // namespace

bool SameGuid(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

bool SameKey(const PROPERTYKEY& a, const PROPERTYKEY& b) {
    return SameGuid(a.fmtid, b.fmtid) && a.pid == b.pid;
}

std::string KeyText(const PROPERTYKEY& key) {
    const GUID& g = key.fmtid;
    char text[64];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X},%u",
                  static_cast<unsigned>(g.Data1), static_cast<unsigned>(g.Data2),
                  static_cast<unsigned>(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                  g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7], static_cast<unsigned>(key.pid));
    return text;
}

bool ParseKey(std::string_view text, PROPERTYKEY& key) {
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX},pid
    if (text.size() < 40 || text[0] != '{' || text[9] != '-' || text[14] != '-' ||
        text[19] != '-' || text[24] != '-' || text[37] != '}' || text[38] != ',') {
        return false;
    }
    std::uint64_t value = 0;
    PROPERTYKEY parsed{};
    if (!zekcommon::ReadHexDigits(text, 1, 8, value)) {
        return false;
    }
    parsed.fmtid.Data1 = static_cast<std::uint32_t>(value);
    if (!zekcommon::ReadHexDigits(text, 10, 4, value)) {
        return false;
    }
    parsed.fmtid.Data2 = static_cast<std::uint16_t>(value);
    if (!zekcommon::ReadHexDigits(text, 15, 4, value)) {
        return false;
    }
    parsed.fmtid.Data3 = static_cast<std::uint16_t>(value);
    static constexpr std::size_t kBytePositions[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!zekcommon::ReadHexDigits(text, kBytePositions[i], 2, value)) {
            return false;
        }
        parsed.fmtid.Data4[i] = static_cast<unsigned char>(value);
    }
    if (!ReadPid(text.substr(39), parsed.pid)) {
        return false;
    }
    key = parsed;
    return true;
}

} // namespace standin
