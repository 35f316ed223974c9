// The requests of ZEKExtender2W that are not an ordinary call of a known function.
#pragma once

#include "extender/HostInterface.h"

#include <cstdint>

namespace zekextender {

class CZEKExtender;

// What ZEKExtender2W answers besides an ordinary call of a known function, called as a
// handler once the call's host objects are recorded: special requests 0xFFFF (count), 0xFFFE
// (definition) and 0xFFFD (acknowledge), calls that arrive before the function table has been
// read, and ids outside the table (answer 0). Nothing unwinds out of it.
std::int32_t AnswerRequest(CZEKExtender& extender, INT_PTR hostParam1, INT_PTR hostParam2,
                           INT_PTR hostParam3, void* data, std::uint32_t index) noexcept;

} // namespace zekextender
