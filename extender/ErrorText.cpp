// The composed error text "%d: %ls: %s": code, the extender's short name, message.
#include "extender/ZEKExtender.h"
#include "status/StatusCatalogue.h"

#include <algorithm>

namespace zekextender {

std::size_t CZEKExtender::ComposeErrorText(StatusCode code, WCHAR* buffer,
                                           std::size_t capacity) const {
    const WString* message = nullptr;
    const auto own = messages.find(code);
    if (own != messages.end()) {
        message = &own->second;
    } else {
        message = FindStatusMessage(code); // null: neither table knows the code, no text
    }
    if (message == nullptr) {
        if (capacity > 0) {
            buffer[0] = 0;
        }
        return 0;
    }
    DecimalText number;
    FormatDecimal(code, number);
    const std::size_t numberLength = std::char_traits<WCHAR>::length(number);
    constexpr std::size_t SeparatorLength = 2; // ": "
    const std::size_t length =
        numberLength + SeparatorLength + shortName.size() + SeparatorLength + message->size();
    if (length < capacity) {
        WCHAR* out = std::copy(number, number + numberLength, buffer);
        out = std::copy_n(U16(": "), SeparatorLength, out);
        out = std::copy(shortName.begin(), shortName.end(), out);
        out = std::copy_n(U16(": "), SeparatorLength, out);
        out = std::copy(message->begin(), message->end(), out);
        *out = 0;
    }
    return length;
}

void CZEKExtender::FormatErrorText(StatusCode code, WString& text) const {
    text.clear();
    const std::size_t length = ComposeErrorText(code, nullptr, 0);
    if (length == 0) {
        return;
    }
    text.resize(length);
    ComposeErrorText(code, &text[0], length + 1); // the terminator lands on the string's own
}

} // namespace zekextender
