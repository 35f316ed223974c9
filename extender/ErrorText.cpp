// The composed error text "%d: %ls: %s": code, the extender's short name, message. Every text
// of a code, for the host's error results and for scripts, is composed here.
#include "extender/ZEKExtender.h"
#include "status/StatusCatalogue.h"

#include <algorithm>

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
    const std::size_t numberLength = std::char_traits<WCHAR>::length(number);
    constexpr std::size_t SeparatorLength = 2; // ": "
    const std::size_t length =
        numberLength + SeparatorLength + shortName.size() + SeparatorLength + message->size();
    if (capacity == 0) {
        return length;
    }
    // Each part as far as there is room; the text always ends with a terminator.
    WCHAR* out = buffer;
    WCHAR* const last = buffer + capacity - 1;
    auto append = [&](const WCHAR* part, std::size_t size) {
        out = length < capacity ? std::copy_n(part, size, out)
                                : std::copy_n(part, std::min<std::size_t>(size, last - out), out);
    };
    append(number, numberLength);
    append(U16(": "), SeparatorLength);
    append(shortName.data(), shortName.size());
    append(U16(": "), SeparatorLength);
    append(message->data(), message->size());
    *out = 0;
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
