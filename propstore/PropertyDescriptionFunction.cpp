// vtoGetPropertyDescription: the display name of a property, by canonical name.
#include "extender/HostArguments.h"
#include "properties/PropertyKeys.h"
#include "propstore/MyExtender.h"

namespace zekextender {

std::int32_t CMyExtender::vtoGetPropertyDescription(INT_PTR, INT_PTR, INT_PTR, void* data,
                                                    std::uint32_t) {
    const HostValue& name = Argument(data, 0);
    if (!IsStringArgument(name)) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    WString displayName;
    const StatusCode status = PropertyDisplayName(StringArgument(name), displayName);
    if (status != StatusSuccess) {
        return ReturnError(ErrorResult, status);
    }
    return ReturnText(displayName);
}

} // namespace zekextender
