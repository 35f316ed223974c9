// The store functions: open, close and commit property stores, and report on them.
#include "extender/HostArguments.h"
#include "propstore/MyExtender.h"

#include <new>

namespace zekextender {

std::int32_t CMyExtender::vtoOpenPS(INT_PTR, INT_PTR, INT_PTR, void* data, std::uint32_t) {
    const HostValue& parsingName = Argument(data, 0);
    const HostValue& flags = Argument(data, 1);
    if (!IsStringArgument(parsingName)) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    const WString fileSpec = StringArgument(parsingName);
    if (!IsIntegerArgument(flags) || fileSpec.empty()) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    std::unique_ptr<PropertyStoreRecord> record(new (std::nothrow) PropertyStoreRecord);
    if (!record) {
        return ReturnError(ErrorResult, StatusOutOfMemory);
    }
    const StatusCode status = record->Open(fileSpec, static_cast<DWORD>(flags.intValue));
    if (status != StatusSuccess) {
        return ReturnError(ErrorResult, status);
    }
    // The handle is chosen only now: a failed open consumes none.
    const std::uint32_t handle = stores.AllocateStoreHandle();
    if (handle == 0) {
        return ReturnError(ErrorResult, StatusOutOfMemory); // every handle is in use
    }
    stores.Insert(handle, std::move(record));
    return ReturnInteger(static_cast<std::int32_t>(handle));
}

std::int32_t CMyExtender::vtoClosePS(INT_PTR, INT_PTR, INT_PTR, void* data, std::uint32_t) {
    const HostValue& handle = Argument(data, 0);
    if (StoreArgument(handle) == nullptr) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    stores.Remove(static_cast<std::uint32_t>(handle.intValue));
    return ReturnBool(true);
}

std::int32_t CMyExtender::vtoCommitChanges(INT_PTR, INT_PTR, INT_PTR, void* data, std::uint32_t) {
    PropertyStoreRecord* record = StoreArgument(Argument(data, 0));
    if (record == nullptr) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    const StatusCode status = record->Commit();
    if (status != StatusSuccess) {
        return ReturnError(ErrorResult, status);
    }
    return ReturnBool(true);
}

std::int32_t CMyExtender::vtoIsPSDirty(INT_PTR, INT_PTR, INT_PTR, void* data,
                                       std::uint32_t) noexcept {
    const PropertyStoreRecord* record = StoreArgument(Argument(data, 0));
    if (record == nullptr) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    return ReturnBool(record->IsDirty());
}

std::int32_t CMyExtender::vtoIsPSValid(INT_PTR, INT_PTR, INT_PTR, void* data,
                                       std::uint32_t) noexcept {
    const HostValue& handle = Argument(data, 0);
    if (!IsIntegerArgument(handle)) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    // The one store function for which an unknown handle is an answer, not an error.
    const PropertyStoreRecord* record = StoreArgument(handle);
    return ReturnBool(record != nullptr && record->IsValid());
}

std::int32_t CMyExtender::vtoGetFileSpec(INT_PTR, INT_PTR, INT_PTR, void* data, std::uint32_t) {
    const PropertyStoreRecord* record = StoreArgument(Argument(data, 0));
    if (record == nullptr) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    return ReturnText(record->GetFileSpec());
}

std::int32_t CMyExtender::vtoGetGPSFlags(INT_PTR, INT_PTR, INT_PTR, void* data,
                                         std::uint32_t) noexcept {
    const PropertyStoreRecord* record = StoreArgument(Argument(data, 0));
    if (record == nullptr) {
        return ReturnError(ErrorResult, StatusInvalidParameter);
    }
    HostValue value = ZeroHostValue();
    value.type = HostValueInteger;
    value.intValue = static_cast<std::int32_t>(record->GetFlags());
    return ReturnValue(value);
}

} // namespace zekextender
