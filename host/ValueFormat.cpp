#include "host/ValueFormat.h"

#include <cmath>
#include <cstdio>
#include <type_traits>

namespace zekhost {
namespace {

// Nested arrays deeper than this are cut short; a cycle would otherwise never end.
constexpr int MaximumArrayDepth = 8;

std::string Quoted(const std::string& escaped) {
    return "\"" + escaped + "\"";
}

template <typename Unit>
std::string Escape(const std::basic_string<Unit>& text, const char* format) {
    std::string out;
    for (const Unit unit : text) {
        const auto code =
            static_cast<unsigned>(static_cast<typename std::make_unsigned<Unit>::type>(unit));
        if (code == '\\' || code == '"') {
            out.push_back('\\');
            out.push_back(static_cast<char>(code));
        } else if (code >= 0x20 && code <= 0x7E) {
            out.push_back(static_cast<char>(code));
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, format, code);
            out += buffer;
        }
    }
    return out;
}

std::string FormatArray(const OwnedValue& value, const HostStorage& storage, int depth) {
    const HostArray* array = storage.FindArray(value.integer);
    if (array == nullptr) {
        return "array (unknown handle " + std::to_string(value.integer) + ")";
    }
    if (!array->Live()) {
        return "array (released)";
    }
    if (depth >= MaximumArrayDepth) {
        return "array[" + std::to_string(array->elements.size()) + "] {...}";
    }
    std::string out = "array[" + std::to_string(array->elements.size()) + "] {";
    for (std::size_t i = 0; i < array->elements.size(); ++i) {
        out += i == 0 ? "" : ", ";
        const OwnedValue& element = array->elements[i];
        out += element.type == zekextender::HostValueArray
                   ? FormatArray(element, storage, depth + 1)
                   : FormatValue(element, storage);
    }
    return out + "}";
}

} // namespace

std::string EscapeWide(const WString& text) {
    return Escape(text, "\\u%04X");
}

std::string EscapeNarrow(const std::string& text) {
    return Escape(text, "\\x%02X");
}

std::string Hex(std::uint64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(value));
    return buffer;
}

std::string FormatFloat(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::string FormatValue(const OwnedValue& value, const HostStorage& storage) {
    switch (value.type) {
    case zekextender::HostValueNone:
        return "empty";
    case zekextender::HostValueInteger:
        return "int " + std::to_string(value.integer);
    case zekextender::HostValueNarrowString:
        return value.nullText ? "narrow null" : "narrow " + Quoted(EscapeNarrow(value.narrow));
    case zekextender::HostValueFloat:
        return "float " + FormatFloat(value.real);
    case zekextender::HostValueWideString:
        return value.nullText ? "wide null" : "wide " + Quoted(EscapeWide(value.wide));
    case zekextender::HostValueArray:
        return FormatArray(value, storage, 0);
    case zekextender::HostValueBlock: {
        std::string out = "block ";
        for (const std::uint8_t byte : value.block) {
            char buffer[4];
            std::snprintf(buffer, sizeof buffer, "%02x", byte);
            out += buffer;
        }
        return out;
    }
    default: {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "type 0x%02x", value.type);
        return buffer;
    }
    }
}

} // namespace zekhost
