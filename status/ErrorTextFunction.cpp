// vtoGetErrorText: the composed error text of a status code, for scripts.
#include "extender/HostArguments.h"
#include "propstore/MyExtender.h"

namespace zekextender {

std::int32_t CMyExtender::vtoGetErrorText(INT_PTR, INT_PTR, INT_PTR, void* data, std::uint32_t) {
    const HostValue& code = Argument(data, 0);
    if (!IsIntegerArgument(code)) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    WString text;
    FormatErrorText(code.intValue, text);
    return ReturnText(text);
}

} // namespace zekextender
