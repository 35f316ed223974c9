// The composed error text "%d: %ls: %s": code, the extender's short name, message. Every text
// of a code, for the host's error results and for scripts, is composed here.
#include "extender/ZEKExtender.h"
#include "status/StatusCatalogue.h"

#include <algorithm>
#include <string_view>

namespace zekextender {

std::size_t CZEKExtender::ComposeErrorText(StatusCode code, WCHAR* buffer,
                                           std::size_t capacity) const noexcept {
    // The extender's own messages first, then the catalogue's.
    const auto own = messages.find(code);
    const WString* message = own != messages.end() ? &own->second : FindStatusMessage(code);
    if (message == nullptr) {
        if (capacity > 0) {
            buffer[0] = 0; // neither table knows the code: no text
        }
        return 0;
    }
    DecimalText number;
    FormatDecimal(code, number);
    const std::basic_string_view<WCHAR> separator = U16(": ");
    const std::basic_string_view<WCHAR> parts[] = {number, separator, shortName, separator,
                                                   *message};
    std::size_t length = 0;
    for (const auto& part : parts) {
        if (length + 1 < capacity) {
            std::copy_n(part.data(), std::min(part.size(), capacity - 1 - length), buffer + length);
        }
        length += part.size();
    }
    if (capacity > 0) {
        buffer[std::min(length, capacity - 1)] = 0;
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
