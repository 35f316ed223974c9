#include "propstore/MyExtender.h"

#include <iterator>

namespace zekextender {

namespace {

// ParameterTypes of a parameter list, first parameter in the lowest nibble.
constexpr std::uint64_t Parameters() {
    return 0;
}
template <typename... Rest> constexpr std::uint64_t Parameters(std::uint64_t first, Rest... rest) {
    return first | (Parameters(rest...) << 4);
}

constexpr std::uint64_t I = IntegerParameter;
constexpr std::uint64_t S = StringParameter;

template <typename Handler> constexpr FunctionHandler Bind(Handler handler) {
    return static_cast<FunctionHandler>(handler);
}

} // namespace

// The row index is the function id. Definitions lower the names in place.
FunctionEntry FunctionTable[] = {
    {0, FunctionKind, Parameters(), 0, 0, U16("vtoVersion"), Bind(&CMyExtender::vtoVersion)},
    {0, FunctionKind, Parameters(S, I), 2, 0, U16("vtoOpenPS"), Bind(&CMyExtender::vtoOpenPS)},
    {0, FunctionKind, Parameters(I), 1, 0, U16("vtoClosePS"), Bind(&CMyExtender::vtoClosePS)},
    {0, FunctionKind, Parameters(I, I), 2, 0, U16("vtoGetPropertyNames"),
     Bind(&CMyExtender::vtoGetPropertyNames)},
    {0, FunctionKind, Parameters(I, S, I), 3, 0, U16("vtoGetPropertyValue"),
     Bind(&CMyExtender::vtoGetPropertyValue)},
    {0, FunctionKind, Parameters(I, S, S), 3, 0, U16("vtoSetPropertyValue"),
     Bind(&CMyExtender::vtoSetPropertyValue)},
    {0, FunctionKind, Parameters(I), 1, 0, U16("vtoIsPSDirty"), Bind(&CMyExtender::vtoIsPSDirty)},
    {0, FunctionKind, Parameters(I), 1, 0, U16("vtoIsPSValid"), Bind(&CMyExtender::vtoIsPSValid)},
    {0, FunctionKind, Parameters(I), 1, 0, U16("vtoCommitChanges"),
     Bind(&CMyExtender::vtoCommitChanges)},
    {0, FunctionKind, Parameters(I), 1, 0, U16("vtoGetFileSpec"),
     Bind(&CMyExtender::vtoGetFileSpec)},
    {0, FunctionKind, Parameters(I), 1, 0, U16("vtoGetGPSFlags"),
     Bind(&CMyExtender::vtoGetGPSFlags)},
    {0, FunctionKind, Parameters(), 0, 0, U16("vtoIsSupported"),
     Bind(&CMyExtender::vtoIsSupported)},
    {0, FunctionKind, Parameters(S), 1, 0, U16("vtoGetPropertyDescription"),
     Bind(&CMyExtender::vtoGetPropertyDescription)},
    {0, FunctionKind, Parameters(), 0, 0, U16("vtoIsDebugBuild"),
     Bind(&CMyExtender::vtoIsDebugBuild)},
    {0, FunctionKind, Parameters(I), 1, 0, U16("vtoGetErrorText"),
     Bind(&CMyExtender::vtoGetErrorText)},
    {FunctionEntryTerminator, 0, 0, 0, 0, {}, nullptr},
};
static_assert(std::size(FunctionTable) == 16, "fifteen functions and the terminator");

} // namespace zekextender
