// vtoGetPropertyNames: the canonical names a store held when it was opened, as TAB-joined
// text (mode 0) or as a host array of strings (mode 1).
#include "extender/HostArguments.h"
#include "propstore/MyExtender.h"

namespace zekextender {

namespace {

constexpr std::int32_t TextMode = 0;
constexpr std::int32_t ArrayMode = 1;

} // namespace

std::int32_t CMyExtender::vtoGetPropertyNames(INT_PTR, INT_PTR, INT_PTR, void* data,
                                              std::uint32_t) {
    const HostValue& handle = Argument(data, 0);
    const HostValue& mode = Argument(data, 1);
    if (!IsIntegerArgument(handle) || !IsIntegerArgument(mode) ||
        (mode.intValue != TextMode && mode.intValue != ArrayMode)) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    const PropertyStoreRecord* record = StoreArgument(handle);
    if (record == nullptr) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    // The snapshot shares the record's set, which never changes.
    PropertyNameSet names;
    record->CopyPropertyNames(names);
    if (!names) {
        return ReturnValue(ZeroHostValue()); // nothing to list, in either mode
    }
    const std::size_t count = names->size();

    if (mode.intValue == TextMode) {
        WString text;
        text.reserve((count + 1) * 64);
        for (std::size_t i = 0; i < count; ++i) {
            text += (*names)[i];
            text += U16('\t');
        }
        text.erase(text.find_last_not_of(U16('\t')) + 1);
        return ReturnText(text);
    }

    HostValue array = ZeroHostValue();
    ArrayDimensions dimensions = {{static_cast<std::uint32_t>(count), 0, 0, 0, 0}};
    bool built = ArrayServices(array, &dimensions, sizeof dimensions, ArrayCreate) == 0;
    // The elements point into the snapshot, which outlives the call.
    for (std::size_t i = 0; built && i < count; ++i) {
        HostValue element = ZeroHostValue();
        element.type = HostValueWideString;
        element.text = const_cast<WCHAR*>((*names)[i]);
        built = ArrayElementHandler(array, static_cast<std::int32_t>(i), 0, 0, 0, 0, element,
                                    ArrayElementStore) == 0;
    }
    if (!built) {
        if ((array.type & HostValueArray) != 0) {
            ArrayServices(array, nullptr, 0, ArrayRelease);
        }
        return ReturnError(ErrorResult, StatusCannotService);
    }
    return ReturnValue(array);
}

} // namespace zekextender
