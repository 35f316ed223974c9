// The extender of this module: its identity, its function table and its script functions.
#pragma once

#include "extender/ZEKExtender.h"
#include "propstore/StoreRegistry.h"

namespace zekextender {

// Final: its handlers call the result operations directly, not through the virtual table.
class CMyExtender final : public CZEKExtender {
public:
    CMyExtender();
    ~CMyExtender() override;

    FunctionEntry* GetFunctionTable() override;
    FunctionEntry* GetAltFunctionTable() override;

    // Script functions, in function-table order. Each reads its arguments from data,
    // delivers exactly one result or error and returns what the host's callback returned.
// Those that can neither throw nor run out of memory are noexcept: their handlers need no
// exception barrier (Handler<>), the cheapest way through a call.
#define ZEK_SCRIPT_FUNCTION(name)                                                                  \
    std::int32_t name(INT_PTR hostParam1, INT_PTR hostParam2, INT_PTR hostParam3, void* data,      \
                      std::uint32_t index)
    ZEK_SCRIPT_FUNCTION(vtoVersion) noexcept;
    ZEK_SCRIPT_FUNCTION(vtoOpenPS);
    ZEK_SCRIPT_FUNCTION(vtoClosePS);
    ZEK_SCRIPT_FUNCTION(vtoGetPropertyNames);
    ZEK_SCRIPT_FUNCTION(vtoGetPropertyValue);
    ZEK_SCRIPT_FUNCTION(vtoSetPropertyValue);
    ZEK_SCRIPT_FUNCTION(vtoIsPSDirty) noexcept;
    ZEK_SCRIPT_FUNCTION(vtoIsPSValid) noexcept;
    ZEK_SCRIPT_FUNCTION(vtoCommitChanges);
    ZEK_SCRIPT_FUNCTION(vtoGetFileSpec);
    ZEK_SCRIPT_FUNCTION(vtoGetGPSFlags) noexcept;
    ZEK_SCRIPT_FUNCTION(vtoIsSupported) noexcept;
    ZEK_SCRIPT_FUNCTION(vtoGetPropertyDescription);
    ZEK_SCRIPT_FUNCTION(vtoIsDebugBuild) noexcept;
    ZEK_SCRIPT_FUNCTION(vtoGetErrorText);
#undef ZEK_SCRIPT_FUNCTION

private:
    // Whether the property system was bound when the extender was constructed.
    bool propertySystemReady = false;
    // Whether OleInitialize succeeded (S_OK or S_FALSE), and on which thread: only that thread
    // may balance it.
    bool oleInitialised = false;
    DWORD oleThread = 0;

    // The store named by a handle argument: an integer registered in the registry; else null.
    PropertyStoreRecord* StoreArgument(const HostValue& handle) const {
        if (handle.type != HostValueInteger) {
            return nullptr;
        }
        return stores.FindStore(static_cast<std::uint32_t>(handle.intValue));
    }
    // Delivers a wide-string result.
    std::int32_t ReturnText(const WString& text) {
        return ReturnText(text.c_str());
    }
    std::int32_t ReturnText(const WCHAR* text);

    StoreRegistry stores;
};

// The table of the fifteen script functions and its terminator.
extern FunctionEntry FunctionTable[16];

} // namespace zekextender
