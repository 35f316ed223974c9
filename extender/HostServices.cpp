// Delivery of results and errors to the host, and the host-service wrappers.
#include "extender/ZEKExtender.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

namespace zekextender {

namespace {

constexpr UINT Latin1CodePage = 28591;

// The 8-bit form of a text in code page 28591; empty when it cannot be converted.
std::string ToLatin1(const WString& text) {
    const int size =
        WideCharToMultiByte(Latin1CodePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return std::string();
    }
    std::string narrow(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(Latin1CodePage, 0, text.c_str(), -1, &narrow[0], size, nullptr,
                            nullptr) != size) {
        return std::string();
    }
    narrow.resize(static_cast<std::size_t>(size) - 1);
    return narrow;
}

} // namespace

// Each result operation writes its fields and delivers; without a host record to write to
// (never the case for a real host) nothing is written and nothing is called.

std::int32_t CZEKExtender::ReturnValue(const HostValue& value) {
    if (!CanDeliver()) {
        return NoHostToDeliverTo;
    }
    std::memcpy(result->block, value.block, sizeof result->block);
    result->floatValue = value.floatValue;
    result->intValue = value.intValue;
    result->type = value.type;
    result->text = value.text;
    return Deliver(0);
}

std::int32_t CZEKExtender::ReturnBlockValue(const std::uint8_t (&block)[24]) {
    if (!CanDeliver()) {
        return NoHostToDeliverTo;
    }
    std::memcpy(result->block, block, sizeof result->block);
    result->type = HostValueBlock;
    return Deliver(0);
}

std::int32_t CZEKExtender::ReturnString(const std::string& text) {
    return ReturnString(text.c_str());
}

std::int32_t CZEKExtender::ReturnString(const WString& text) {
    return ReturnString(text.c_str());
}

std::int32_t CZEKExtender::ReturnString(const char* text) {
    if (!CanDeliver()) {
        return NoHostToDeliverTo;
    }
    result->type = HostValueNarrowString;
    result->text = const_cast<char*>(text);
    return Deliver(0);
}

std::int32_t CZEKExtender::ReturnString(const WCHAR* text) {
    if (!CanDeliver()) {
        return NoHostToDeliverTo;
    }
    result->type = HostValueWideString;
    result->text = const_cast<WCHAR*>(text);
    return Deliver(0);
}

std::int32_t CZEKExtender::ReturnFloat(double value) {
    if (!CanDeliver()) {
        return NoHostToDeliverTo;
    }
    result->type = HostValueFloat;
    result->floatValue = value;
    return Deliver(0);
}

std::int32_t CZEKExtender::ReturnError(std::int32_t resultCode, StatusCode status) {
    if (!CanDeliver()) {
        return NoHostToDeliverTo;
    }
    // Composed and converted on the stack; only a text too long for it (an extender's own
    // long message) goes through the heap.
    WCHAR wide[ErrorTextCapacity];
    char stackNarrow[2 * ErrorTextCapacity];
    const std::size_t length = ComposeErrorText(status, wide, ErrorTextCapacity);
    if (length < ErrorTextCapacity &&
        WideCharToMultiByte(Latin1CodePage, 0, wide, -1, stackNarrow, sizeof stackNarrow, nullptr,
                            nullptr) > 0) {
        result->type = HostValueNarrowString;
        result->text = stackNarrow;
        return Deliver(resultCode);
    }
    std::string narrow;
    try {
        WString text;
        FormatErrorText(status, text);
        narrow = ToLatin1(text);
    } catch (const std::bad_alloc&) {
        // The failure being reported matters more than the memory to word it.
        return ReturnErrorWithoutAllocation(resultCode, status);
    }
    result->type = HostValueNarrowString;
    result->text = &narrow[0];
    return Deliver(resultCode);
}

std::int32_t CZEKExtender::ReturnErrorWithoutAllocation(std::int32_t resultCode,
                                                        StatusCode status) noexcept {
    if (!CanDeliver()) {
        return NoHostToDeliverTo;
    }
    // The same text, composed in place and cut to the room there is. Characters outside code
    // page 28591 become '?', as the ordinary conversion makes them.
    static WCHAR wide[1024];
    static char text[std::size(wide)];
    const std::size_t length =
        std::min(ComposeErrorText(status, wide, std::size(wide)), std::size(wide) - 1);
    for (std::size_t i = 0; i < length; ++i) {
        text[i] = wide[i] < 0x100 ? static_cast<char>(wide[i]) : '?';
    }
    text[length] = '\0';
    result->type = HostValueNarrowString;
    result->text = text;
    return Deliver(resultCode);
}

std::int32_t CZEKExtender::VariableHandler(void* first, HostValue& value, std::int32_t operation) {
    return hostServices->variableService(hostServices->context, first, &value, HostValueSize,
                                         operation);
}

std::int32_t CZEKExtender::ArrayElementHandler(HostValue& array, std::int32_t subscript1,
                                               std::int32_t subscript2, std::int32_t subscript3,
                                               std::int32_t subscript4, std::int32_t subscript5,
                                               HostValue& element, std::int32_t operation) {
    return hostServices->arrayElementService(hostServices->context, &array, subscript1, subscript2,
                                             subscript3, subscript4, subscript5, &element,
                                             HostValueSize, operation);
}

std::int32_t CZEKExtender::ArrayServices(HostValue& value, ArrayDimensions* dimensions,
                                         std::uint32_t dimensionsSize, std::int32_t operation) {
    return hostServices->arrayService(hostServices->context, &value, HostValueSize, dimensions,
                                      dimensionsSize, operation);
}

} // namespace zekextender
