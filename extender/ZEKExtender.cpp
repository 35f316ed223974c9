#include "extender/ZEKExtender.h"

#include "extender/ProductVersion.h"

#include <algorithm>
#include <new>

namespace zekextender {

CZEKExtender* TheExtender = nullptr;
HMODULE ModuleHandle = nullptr;
bool ProcessEnding = false;

CZEKExtender::CZEKExtender() {
    // Built while the module loads: should memory run out, the framework's messages are left
    // out (their codes then compose an empty error text) rather than the load failing.
    try {
        messages[MessageNeedNewerHost] = U16("Need newer version of the ZEK DLL");
        messages[MessageArrayServices] = U16("ZEK Array Services/Handler error");
        messages[MessageVariableHandler] = U16("ZEK Variable Handler error");
        messages[MessageBinaryBuffer] = U16("ZEK Binary Buffer Handler error");
    } catch (const std::bad_alloc&) {
        messages.clear();
    }
}

CZEKExtender::~CZEKExtender() = default;

std::int32_t CZEKExtender::GetExtenderInfo(WCHAR* buffer, INT_PTR capacity) {
    if (buffer != nullptr && capacity >= 1) {
        // At most capacity - 1 characters and the terminator.
        const INT_PTR room = std::min<INT_PTR>(capacity, description.size() + 1);
        lstrcpynW(buffer, description.c_str(), static_cast<int>(room));
    }
    if (versionNumber == 0) {
        DWORD number = 0;
        if (GetProductVersionNumber(ModuleHandle, number)) {
            versionNumber = number;
        }
    }
    return static_cast<std::int32_t>(versionNumber);
}

std::int32_t CZEKExtender::NegotiateInterfaceVersion(const std::uint32_t* versions, INT_PTR count) {
    if (count < 1 || versions == nullptr) {
        return -1;
    }
    const bool offered =
        std::find(versions, versions + count, ExtenderInterfaceVersion) != versions + count;
    return offered ? static_cast<std::int32_t>(ExtenderInterfaceVersion) : -1;
}

void CZEKExtender::CacheFunctionTable() {
    FunctionEntry* table = GetFunctionTable();
    if (table == nullptr) {
        return; // asked again next time
    }
    std::int32_t count = 0;
    // Ids are 16-bit: rows past the last id could never be called.
    while (table[count].id != FunctionEntryTerminator && count < INT16_MAX) {
        ++count;
    }
    functionTable = table;
    functionCount = count;
}

std::int32_t CZEKExtender::CountFunctions() {
    if (functionTable == nullptr) {
        CacheFunctionTable();
    }
    return functionTable != nullptr ? functionCount : -1;
}

const FunctionEntry* CZEKExtender::FunctionAt(std::int16_t id) {
    if (functionTable == nullptr) {
        CacheFunctionTable();
    }
    return KnownFunction(id);
}

std::int32_t CZEKExtender::GetFunctionCount(INT_PTR, INT_PTR, INT_PTR, void* data, std::uint32_t) {
    if (hostServices == nullptr || hostServices->interfaceVersion < MinimumHostVersion) {
        if (data != nullptr) {
            lstrcpyW(static_cast<WCHAR*>(data), U16("Need newer version of ZEK DLL"));
        }
        return -1;
    }
    return CountFunctions();
}

std::int32_t CZEKExtender::GetFunctionDefinition(INT_PTR, INT_PTR, INT_PTR, void* data,
                                                 std::uint32_t index) {
    // Refuse an index at or past the terminator rather than read beyond the table.
    const std::int32_t count = CountFunctions();
    if (count < 0 || data == nullptr || index >= static_cast<std::uint32_t>(count)) {
        return 0;
    }
    FunctionEntry& entry = functionTable[index];
    entry.id = index;
    CharLowerW(entry.name);

    auto& definition = *static_cast<FunctionDefinition*>(data);
    definition.id = index;
    definition.kind = entry.kind;
    definition.parameterTypes = entry.ParameterTypes;
    definition.parameterCount = entry.parameterCount;
    definition.nameLength = static_cast<std::uint16_t>(lstrlenW(entry.name));
    lstrcpyW(definition.name, entry.name);
    return 1;
}

std::int32_t CZEKExtender::AcknowledgeRequest(INT_PTR, INT_PTR, INT_PTR, void*, std::uint32_t) {
    return 1;
}

std::int32_t CZEKExtender::NotImplemented() {
    return -5;
}

bool CZEKExtender::SetErrorMessage(std::int32_t code, const WString& text) {
    if (code < 500 || code > 899) {
        return false;
    }
    if (text.empty()) {
        messages.erase(code);
    } else {
        messages[code] = text;
    }
    return true;
}

} // namespace zekextender
