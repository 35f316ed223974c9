#include "propstore/MyExtender.h"

#include <iterator>

namespace zekextender {

namespace {

constexpr std::uint64_t I = IntegerParameter;
constexpr std::uint64_t S = StringParameter;

// ParameterTypes of a parameter list, first parameter in the lowest nibble.
constexpr std::uint64_t ParameterTypes() {
    return 0;
}
template <typename... Rest>
constexpr std::uint64_t ParameterTypes(std::uint64_t first, Rest... rest) {
    return first | (ParameterTypes(rest...) << 4);
}

// One function's row: its types and its parameter count both come from one parameter list.
template <std::uint64_t... Parameters, std::size_t Length>
constexpr FunctionEntry Function(const WCHAR (&name)[Length], FunctionHandler handler) {
    static_assert(Length <= FunctionNameCapacity, "at most 32 characters");
    static_assert(sizeof...(Parameters) <= 16, "sixteen parameter nibbles");
    FunctionEntry entry{0,  FunctionKind, ParameterTypes(Parameters...), sizeof...(Parameters), 0,
                        {}, handler};
    for (std::size_t i = 0; i < Length; ++i) {
        entry.name[i] = name[i];
    }
    return entry;
}

constexpr FunctionEntry Terminator() {
    return {FunctionEntryTerminator, 0, 0, 0, 0, {}, nullptr};
}

} // namespace

// The row index is the function id. Definitions lower the names in place.
FunctionEntry FunctionTable[] = {
    Function(U16("vtoVersion"), Handler<&CMyExtender::vtoVersion>),
    Function<S, I>(U16("vtoOpenPS"), Handler<&CMyExtender::vtoOpenPS>),
    Function<I>(U16("vtoClosePS"), Handler<&CMyExtender::vtoClosePS>),
    Function<I, I>(U16("vtoGetPropertyNames"), Handler<&CMyExtender::vtoGetPropertyNames>),
    Function<I, S, I>(U16("vtoGetPropertyValue"), Handler<&CMyExtender::vtoGetPropertyValue>),
    Function<I, S, S>(U16("vtoSetPropertyValue"), Handler<&CMyExtender::vtoSetPropertyValue>),
    Function<I>(U16("vtoIsPSDirty"), Handler<&CMyExtender::vtoIsPSDirty>),
    Function<I>(U16("vtoIsPSValid"), Handler<&CMyExtender::vtoIsPSValid>),
    Function<I>(U16("vtoCommitChanges"), Handler<&CMyExtender::vtoCommitChanges>),
    Function<I>(U16("vtoGetFileSpec"), Handler<&CMyExtender::vtoGetFileSpec>),
    Function<I>(U16("vtoGetGPSFlags"), Handler<&CMyExtender::vtoGetGPSFlags>),
    Function(U16("vtoIsSupported"), Handler<&CMyExtender::vtoIsSupported>),
    Function<S>(U16("vtoGetPropertyDescription"), Handler<&CMyExtender::vtoGetPropertyDescription>),
    Function(U16("vtoIsDebugBuild"), Handler<&CMyExtender::vtoIsDebugBuild>),
    Function<I>(U16("vtoGetErrorText"), Handler<&CMyExtender::vtoGetErrorText>),
    Terminator(),
};
static_assert(std::size(FunctionTable) == 16, "fifteen functions and the terminator");

} // namespace zekextender
