// vtoGetErrorText: the composed error text of a status code, for scripts.
#include "extender/HostArguments.h"
#include "propstore/MyExtender.h"

namespace zekextender {

std::int32_t CMyExtender::vtoGetErrorText(INT_PTR, INT_PTR, INT_PTR, void* data, std::uint32_t) {
    const HostValue& code = Argument(data, 0);
    if (!IsIntegerArgument(code)) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    HostValue value = ZeroHostValue();
    value.type = HostValueWideString;
    WCHAR local[ErrorTextCapacity];
    if (ComposeErrorText(code.intValue, local, ErrorTextCapacity) < ErrorTextCapacity) {
        value.text = local;
        return ReturnValue(value);
    }
    WString text; // longer than the room on the stack
    FormatErrorText(code.intValue, text);
    value.text = &text[0];
    return ReturnValue(value);
}

} // namespace zekextender
