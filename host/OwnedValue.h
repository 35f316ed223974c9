// A script value the host owns: a deep copy of a HostValue, so results, variables and array
// elements stay valid after the extender's objects are gone.
#pragma once

#include "extender/HostInterface.h"

#include <array>
#include <cstdint>
#include <string>

namespace zekhost {

struct OwnedValue {
    enum class Text { None, Wide, Narrow };

    std::uint32_t type = 0;
    std::int32_t integer = 0; // for arrays: the host's array handle
    double real = 0;
    std::array<std::uint8_t, 24> block{};
    Text text = Text::None;
    bool nullText = true; // the text pointer was null
    WString wide;
    std::string narrow;

    // Copies every field; the characters of a wide (bit 0x80) or narrow (type 2) string are
    // copied up to their terminator.
    static OwnedValue Capture(const zekextender::HostValue& value);

    // A record whose text pointer refers into this object; valid while it lives unchanged.
    zekextender::HostValue View() const;

    bool IsArray() const { return (type & zekextender::HostValueArray) != 0; }
};

} // namespace zekhost
