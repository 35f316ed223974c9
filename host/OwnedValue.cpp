#include "host/OwnedValue.h"

#include <cstring>

namespace zekhost {

OwnedValue OwnedValue::Capture(const zekextender::HostValue& value) {
    OwnedValue owned;
    owned.type = value.type;
    owned.integer = value.intValue;
    owned.real = value.floatValue;
    std::memcpy(owned.block.data(), value.block, owned.block.size());
    owned.nullText = value.text == nullptr;
    if ((value.type & zekextender::HostValueWideString) != 0) {
        owned.text = Text::Wide;
        if (value.text != nullptr) {
            owned.wide = static_cast<const WCHAR*>(value.text);
        }
    } else if (value.type == zekextender::HostValueNarrowString) {
        owned.text = Text::Narrow;
        if (value.text != nullptr) {
            owned.narrow = static_cast<const char*>(value.text);
        }
    }
    return owned;
}

zekextender::HostValue OwnedValue::View() const {
    zekextender::HostValue value{};
    std::memcpy(value.block, block.data(), block.size());
    value.floatValue = real;
    value.intValue = integer;
    value.type = type;
    if (!nullText && text == Text::Wide) {
        value.text = const_cast<WCHAR*>(wide.c_str());
    } else if (!nullText && text == Text::Narrow) {
        value.text = const_cast<char*>(narrow.c_str());
    }
    return value;
}

} // namespace zekhost
