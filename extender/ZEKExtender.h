// The framework half of an extender: the state of the call in progress, the handshake with
// the host, dispatch through the function table, and the delivery of results and errors.
#pragma once

#include "extender/HostInterface.h"
#include "extender/Requests.h"
#include "platform/platform.h"
#include "status/StatusCode.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <new>
#include <string>

namespace zekextender {

class CZEKExtender;

// A script function as dispatch calls it: on the extender, with the host's pass-through
// values. Made from a member function by Handler<&Class::Member> (below), which keeps every
// exception in, so that dispatch can hand the call over without a frame of its own.
using FunctionHandler = std::int32_t (*)(CZEKExtender& extender, INT_PTR hostParam1,
                                         INT_PTR hostParam2, INT_PTR hostParam3, void* data,
                                         std::uint32_t index) noexcept;

// Result code of ReturnError for every failing handler.
constexpr std::int32_t ErrorResult = -1;

constexpr std::uint32_t FunctionEntryTerminator = 0xFFFFFFFF;
constexpr std::uint32_t FunctionKind = 2;

// Parameter type nibbles of ParameterTypes, first parameter in the lowest four bits.
constexpr std::uint64_t IntegerParameter = 0;
constexpr std::uint64_t StringParameter = 5;

// One row of a function table. The row's index is the function id the host calls it by.
struct FunctionEntry {
    std::uint32_t id;   // 0 until its definition is built, then the index; or the terminator
    std::uint32_t kind; // FunctionKind
    std::uint64_t ParameterTypes; // named as the host interface names it: four bits a parameter
    std::uint32_t parameterCount;
    std::uint16_t nameLength; // 0 here; the definition carries the computed length
    WCHAR name[FunctionNameCapacity];
    FunctionHandler handler;
};

class CZEKExtender {
public:
    CZEKExtender();
    virtual ~CZEKExtender();

    CZEKExtender(const CZEKExtender&) = delete;
    CZEKExtender& operator=(const CZEKExtender&) = delete;

    // The table used for counting, definitions and dispatch, ended by a terminator row.
    virtual FunctionEntry* GetFunctionTable() = 0;
    virtual FunctionEntry* GetAltFunctionTable() = 0;

    // Query 1: copies the description (always terminated, truncated to fit) and returns the
    // version number, computing it from the module's version resource on first success.
    virtual std::int32_t GetExtenderInfo(WCHAR* buffer, INT_PTR capacity);
    // Query 2: 5 when the host offers interface version 5, else -1.
    virtual std::int32_t NegotiateInterfaceVersion(const std::uint32_t* versions, INT_PTR count);
    // Special request 0xFFFF: the number of functions, or -1 for a host that is too old.
    virtual std::int32_t GetFunctionCount(INT_PTR hostParam1, INT_PTR hostParam2,
                                          INT_PTR hostParam3, void* data, std::uint32_t index);
    // Special request 0xFFFE: fills the FunctionDefinition at data for the row at index.
    virtual std::int32_t GetFunctionDefinition(INT_PTR hostParam1, INT_PTR hostParam2,
                                               INT_PTR hostParam3, void* data, std::uint32_t index);
    // Special request 0xFFFD.
    virtual std::int32_t AcknowledgeRequest(INT_PTR hostParam1, INT_PTR hostParam2,
                                            INT_PTR hostParam3, void* data, std::uint32_t index);

    // Result operations: each fills the current result record and hands it to the host's
    // callback, returning what the callback returned. A string result only needs to live
    // until the call returns: the host copies it before its callback returns.
    virtual std::int32_t ReturnValue(const HostValue& value);
    virtual std::int32_t ReturnBlockValue(const std::uint8_t (&block)[24]);
    virtual std::int32_t ReturnString(const std::string& text);
    virtual std::int32_t ReturnString(const WString& text);
    virtual std::int32_t ReturnString(const char* text);
    virtual std::int32_t ReturnString(const WCHAR* text);
    virtual std::int32_t ReturnFloat(double value);
    // Defined here, so that a handler of a final extender class delivers without a call.
    virtual std::int32_t ReturnBool(bool value) { return ReturnInteger(value ? 1 : 0); }
    virtual std::int32_t ReturnInteger(std::int32_t value) {
        if (!CanDeliver()) {
            return NoHostToDeliverTo;
        }
        result->type = HostValueInteger;
        result->intValue = value;
        return Deliver(0);
    }
    // Delivers the composed error text of a status code as 8-bit text (code page 28591).
    virtual std::int32_t ReturnError(std::int32_t resultCode, StatusCode status);
    virtual std::int32_t NotImplemented();

    // Host services, forwarded with the host context in front and the value size inserted.
    virtual std::int32_t VariableHandler(void* first, HostValue& value, std::int32_t operation);
    virtual std::int32_t ArrayElementHandler(HostValue& array, std::int32_t subscript1,
                                             std::int32_t subscript2, std::int32_t subscript3,
                                             std::int32_t subscript4, std::int32_t subscript5,
                                             HostValue& element, std::int32_t operation);
    virtual std::int32_t ArrayServices(HostValue& value, ArrayDimensions* dimensions,
                                       std::uint32_t dimensionsSize, std::int32_t operation);

    // Enters (or, with empty text, removes) an extender message for a code from 500 to 899.
    bool SetErrorMessage(std::int32_t code, const WString& text);

    // "%d: %ls: %s" of code, short name and message; empty for a code with no message.
    void FormatErrorText(StatusCode code, WString& text) const;
    // The same text written into buffer, cut to capacity - 1 units and terminated (nothing is
    // written for capacity 0); returns the whole text's length (0 for a code with no message),
    // so that it is complete when that is below capacity. Allocates nothing.
    std::size_t ComposeErrorText(StatusCode code, WCHAR* buffer,
                                 std::size_t capacity) const noexcept;

    // Records the host objects of the call in progress.
    void BeginCall(std::uint32_t cookie, ReturnCallback callback, HostServices* services,
                   HostValue* resultValue, std::int16_t id) {
        callCookie = cookie;
        returnCallback = callback;
        hostServices = services;
        result = resultValue;
        functionId = id;
        resultDelivered = false;
    }

    // The function-table row of a function id once the table has been read, or null (also
    // for an id outside the table and a row without a handler). The table and its length are
    // read once, by FunctionAt or the count: they never change.
    const FunctionEntry* KnownFunction(std::int16_t id) const {
        // A negative id compares as a large unsigned number: outside.
        if (static_cast<std::uint16_t>(id) >= static_cast<std::uint32_t>(functionCount) ||
            functionTable[id].handler == nullptr) {
            return nullptr;
        }
        return &functionTable[id];
    }
    // The same, reading the table first when that has not been done.
    const FunctionEntry* FunctionAt(std::int16_t id);
    // The handler an ordinary call of a function id goes to: its row's, or AnswerRequest for
    // every other id, a row without a handler and a table not read yet.
    FunctionHandler DirectHandler(std::int16_t id) const {
        const FunctionEntry* entry = KnownFunction(id);
        return entry != nullptr ? entry->handler : &AnswerRequest;
    }

    // The function id (or special request) of the call in progress.
    std::int16_t CallFunctionId() const noexcept { return functionId; }
    // Whether the call in progress has handed its result to the host.
    bool ResultDelivered() const noexcept { return resultDelivered; }

    // Answers the call in progress with an error for a status code without allocating
    // memory: the last resort when composing the ordinary error failed.
    std::int32_t ReturnErrorWithoutAllocation(std::int32_t resultCode, StatusCode status) noexcept;

    // The answer of a function that threw: an error for the status, unless it had answered
    // already (then -1, and the answer it gave stands).
    std::int32_t AnswerAfterException(StatusCode status) noexcept {
        return resultDelivered ? -1 : ReturnErrorWithoutAllocation(ErrorResult, status);
    }

    const WString& ShortName() const { return shortName; }
    const WString& Description() const { return description; }
    std::uint32_t VersionNumber() const { return versionNumber; }

protected:
    // Per-call state, overwritten by every call before anything else happens.
    std::uint32_t callCookie = 0;
    ReturnCallback returnCallback = nullptr;
    HostServices* hostServices = nullptr;
    HostValue* result = nullptr;
    std::int16_t functionId = 0;

    WString shortName;
    WString description;
    std::uint32_t versionNumber = 0;
    std::map<std::int32_t, WString> messages;

    // Answer of a result operation that has no host record or callback to deliver to.
    static constexpr std::int32_t NoHostToDeliverTo = -1;

    // Whether the call in progress has a result record and a callback to deliver to (never
    // otherwise for a real host).
    bool CanDeliver() const { return result != nullptr && returnCallback != nullptr; }
    // Hands the current result record to the host's callback.
    std::int32_t Deliver(std::int32_t resultCode) {
        resultDelivered = true;
        return returnCallback(resultCode, callCookie, hostServices, result);
    }

private:
    // The number of rows before the terminator, or -1 without a table.
    std::int32_t CountFunctions();
    // Reads the table and counts its rows, once a table is there.
    void CacheFunctionTable();

    bool resultDelivered = false;
    FunctionEntry* functionTable = nullptr; // null until the table has been read
    std::int32_t functionCount = 0;
};

namespace detail {
// The class of a script-function member, and whether the member is noexcept.
template <typename Member> struct MemberOf;
template <typename Class, bool NoThrow>
struct MemberOf<std::int32_t (Class::*)(INT_PTR, INT_PTR, INT_PTR, void*,
                                        std::uint32_t) noexcept(NoThrow)> {
    using Type = Class;
    static constexpr bool noThrow = NoThrow;
};
} // namespace detail

// The FunctionHandler of a script function that is a member of an extender class. A member
// declared noexcept is called bare; any other runs behind the barrier that turns an exception
// into one error answer (std::bad_alloc: status 20, anything else: status 2), since nothing
// may unwind into the host.
template <auto Member>
std::int32_t Handler(CZEKExtender& extender, INT_PTR hostParam1, INT_PTR hostParam2,
                     INT_PTR hostParam3, void* data, std::uint32_t index) noexcept {
    using Traits = detail::MemberOf<decltype(Member)>;
    auto& self = static_cast<typename Traits::Type&>(extender);
    if constexpr (Traits::noThrow) {
        return (self.*Member)(hostParam1, hostParam2, hostParam3, data, index);
    } else {
        try {
            return (self.*Member)(hostParam1, hostParam2, hostParam3, data, index);
        } catch (const std::bad_alloc&) {
            return extender.AnswerAfterException(StatusOutOfMemory);
        } catch (...) {
            return extender.AnswerAfterException(StatusExceptionConverted);
        }
    }
}

// The one extender object of the process; both entry points work on it.
extern CZEKExtender* TheExtender;
// The module's own instance handle, kept by DllMain.
extern HMODULE ModuleHandle;
// Set by DllMain when the module is detached because the process is ending (not unloaded by
// FreeLibrary); the static objects' destructors, which run after it, then leave everything to
// the system.
extern bool ProcessEnding;

// Framework message codes.
constexpr std::int32_t MessageNeedNewerHost = 903;
constexpr std::int32_t MessageArrayServices = 908;
constexpr std::int32_t MessageVariableHandler = 909;
constexpr std::int32_t MessageBinaryBuffer = 910;

// Room for a composed error text on the stack, terminator included: every catalogue and
// framework message fits; a longer text goes through the heap.
constexpr std::size_t ErrorTextCapacity = 512;

} // namespace zekextender
