// vtoGetPropertyValue and vtoSetPropertyValue: a property of an open store as display text,
// and a property written from text.
#include "extender/HostArguments.h"
#include "properties/PropertyValues.h"
#include "propstore/MyExtender.h"

namespace zekextender {

std::int32_t CMyExtender::vtoGetPropertyValue(INT_PTR, INT_PTR, INT_PTR, void* data,
                                              std::uint32_t) {
    const HostValue& handle = Argument(data, 0);
    const HostValue& name = Argument(data, 1);
    const HostValue& flags = Argument(data, 2);
    if (!IsIntegerArgument(handle) || !IsStringArgument(name) || !IsIntegerArgument(flags)) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    const PropertyStoreRecord* record = StoreArgument(handle);
    if (record == nullptr) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    // The name is read where the host keeps it, and the text handed on where the property
    // system put it: nothing is copied.
    TaskText text;
    const StatusCode status =
        record->GetValueText(static_cast<const WCHAR*>(name.text),
                             static_cast<DWORD>(flags.intValue) & FormatFlagsMask, text);
    if (status != StatusSuccess) {
        return ReturnError(ErrorResult, status);
    }
    return ReturnText(text.get() != nullptr ? text.get() : U16(""));
}

std::int32_t CMyExtender::vtoSetPropertyValue(INT_PTR, INT_PTR, INT_PTR, void* data,
                                              std::uint32_t) {
    const HostValue& handle = Argument(data, 0);
    const HostValue& name = Argument(data, 1);
    const HostValue& value = Argument(data, 2);
    if (!IsIntegerArgument(handle) || !IsStringArgument(name) || !IsStringArgument(value)) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    PropertyStoreRecord* record = StoreArgument(handle);
    if (record == nullptr) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    const StatusCode status = record->SetValueText(StringArgument(name), StringArgument(value));
    if (status != StatusSuccess) {
        return ReturnError(ErrorResult, status);
    }
    return ReturnBool(true);
}

} // namespace zekextender
