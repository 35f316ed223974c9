// The binary interface between the ZEK interpreter and an extender: value records, the
// host's service table, the result callback, function definitions and the two exported
// entry points. Every layout here is fixed to the byte (little-endian, 64-bit).
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>

namespace zekextender {

enum HostValueType : std::uint32_t {
    HostValueNone = 0,
    HostValueInteger = 1,
    HostValueNarrowString = 2,
    HostValueFloat = 0x20,
    HostValueWideString = 0x80,
    HostValueArray = 0x100,
    HostValueBlock = 0x200,
};

// One script value: an argument, a result or an array element.
struct HostValue {
    std::uint8_t block[24]; // payload of a block value (type 0x200)
    double floatValue;      // type 0x20
    std::int32_t intValue;  // type 1
    std::uint32_t type;     // HostValueType bits
    void* text;             // zero-terminated characters of a string (types 2 and 0x80)
    void* hostReserved;     // the host's; never read or written by an extender
};
static_assert(sizeof(HostValue) == 56, "HostValue is 56 bytes");
static_assert(offsetof(HostValue, block) == 0, "HostValue layout");
static_assert(offsetof(HostValue, floatValue) == 24, "HostValue layout");
static_assert(offsetof(HostValue, intValue) == 32, "HostValue layout");
static_assert(offsetof(HostValue, type) == 36, "HostValue layout");
static_assert(offsetof(HostValue, text) == 40, "HostValue layout");
static_assert(offsetof(HostValue, hostReserved) == 48, "HostValue layout");

constexpr std::uint32_t HostValueSize = sizeof(HostValue);

// Extents of a host array; extents beyond its dimensions are 0.
struct ArrayDimensions {
    std::uint32_t extent[5];
};
static_assert(sizeof(ArrayDimensions) == 20, "ArrayDimensions is 20 bytes");

using VariableService = std::int32_t (*)(void* context, void* first, HostValue* value,
                                         std::uint32_t valueSize, std::int32_t operation);
using ArrayElementService = std::int32_t (*)(void* context, HostValue* array,
                                             std::int32_t subscript1, std::int32_t subscript2,
                                             std::int32_t subscript3, std::int32_t subscript4,
                                             std::int32_t subscript5, HostValue* element,
                                             std::uint32_t valueSize, std::int32_t operation);
using ArrayService = std::int32_t (*)(void* context, HostValue* value, std::uint32_t valueSize,
                                      ArrayDimensions* dimensions, std::uint32_t dimensionsSize,
                                      std::int32_t operation);

// Array service operations and the array element operation in use.
constexpr std::int32_t ArrayCreate = 2;
constexpr std::int32_t ArrayRelease = 4;
constexpr std::int32_t ArrayElementStore = 2;

// The host's service table. Only the named fields belong to the extender's side.
struct HostServices {
    void* hostReserved0[2];
    std::uint32_t interfaceVersion; // the host's interface version
    std::uint32_t hostReserved1;
    void* hostReserved2;
    void* context; // first argument of every service
    void* hostReserved3[2];
    VariableService variableService;
    ArrayElementService arrayElementService;
    ArrayService arrayService;
};
static_assert(offsetof(HostServices, interfaceVersion) == 16, "HostServices layout");
static_assert(offsetof(HostServices, context) == 32, "HostServices layout");
static_assert(offsetof(HostServices, variableService) == 56, "HostServices layout");
static_assert(offsetof(HostServices, arrayElementService) == 64, "HostServices layout");
static_assert(offsetof(HostServices, arrayService) == 72, "HostServices layout");
static_assert(sizeof(HostServices) == 80, "HostServices layout");

// Receives the single result of a call: result code 0 with a result, -1 with an error.
using ReturnCallback = std::int32_t (*)(std::int32_t resultCode, std::uint32_t callCookie,
                                        HostServices* services, HostValue* result);

constexpr std::size_t FunctionNameCapacity = 33; // 32 code units and the terminator

// What the host receives for special request 0xFFFE (packed: no padding between fields).
#pragma pack(push, 1)
struct FunctionDefinition {
    std::uint32_t id;
    std::uint32_t kind;
    std::uint64_t parameterTypes;
    std::uint32_t parameterCount;
    std::uint16_t nameLength;
    WCHAR name[FunctionNameCapacity];
};
#pragma pack(pop)
static_assert(offsetof(FunctionDefinition, id) == 0, "FunctionDefinition layout");
static_assert(offsetof(FunctionDefinition, kind) == 4, "FunctionDefinition layout");
static_assert(offsetof(FunctionDefinition, parameterTypes) == 8, "FunctionDefinition layout");
static_assert(offsetof(FunctionDefinition, parameterCount) == 16, "FunctionDefinition layout");
static_assert(offsetof(FunctionDefinition, nameLength) == 20, "FunctionDefinition layout");
static_assert(offsetof(FunctionDefinition, name) == 22, "FunctionDefinition layout");
static_assert(sizeof(FunctionDefinition) == 22 + 2 * FunctionNameCapacity,
              "FunctionDefinition layout");

// Special function ids of ZEKExtender2W (read as signed 16-bit).
constexpr std::int16_t RequestFunctionCount = -1;      // 0xFFFF
constexpr std::int16_t RequestFunctionDefinition = -2; // 0xFFFE
constexpr std::int16_t RequestAcknowledge = -3;        // 0xFFFD

// Query codes of ZEKExtenderQueryW.
constexpr std::int16_t QueryExtenderInfo = 1;
constexpr std::int16_t QueryInterfaceVersion = 2;

constexpr std::uint32_t ExtenderInterfaceVersion = 5;
constexpr std::uint32_t MinimumHostVersion = 1005;

} // namespace zekextender

// The two entry points the host resolves by name.
using ZEKExtenderQueryWFn = std::int32_t (*)(std::int16_t query, INT_PTR first, INT_PTR second);
using ZEKExtender2WFn = std::int32_t (*)(INT_PTR hostParam1, INT_PTR hostParam2,
                                         std::uint32_t callCookie, std::int16_t functionId,
                                         zekextender::ReturnCallback returnCallback,
                                         zekextender::HostServices* hostServices,
                                         INT_PTR hostParam3, void* data, std::uint32_t index,
                                         zekextender::HostValue* result);
