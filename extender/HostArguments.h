// Reading a handler's arguments straight from the host's value records.
#pragma once

#include "extender/HostInterface.h"

#include <cstddef>

namespace zekextender {

// Argument i of a call: the i-th record of the array at data.
inline const HostValue& Argument(const void* data, std::size_t i) {
    return static_cast<const HostValue*>(data)[i];
}

// An integer argument has type exactly 1.
inline bool IsIntegerArgument(const HostValue& value) {
    return value.type == HostValueInteger;
}

// A string argument carries the wide-string bit.
inline bool IsStringArgument(const HostValue& value) {
    return (value.type & HostValueWideString) != 0;
}

// The text of a string argument; a null text pointer reads as an empty string.
inline WString StringArgument(const HostValue& value) {
    const auto* text = static_cast<const WCHAR*>(value.text);
    return text != nullptr ? WString(text) : WString();
}

// A value record with every field zero.
inline HostValue ZeroHostValue() {
    return HostValue{};
}

} // namespace zekextender
