// Property keys and interface identifiers: comparison and the "{GUID},pid" text form.
#pragma once

#include "platform/platform.h"

#include <string>
#include <string_view>

namespace standin {

// Our own copies, so nothing links against an SDK GUID library.
constexpr GUID kIidUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidPropertyStore = {
    0x886D8EEB, 0x8CF2, 0x4446, {0x8D, 0x02, 0xCD, 0xBA, 0x1D, 0xBD, 0xCF, 0x99}};
constexpr GUID kIidPropertyDescription = {
    0x6F79D558, 0x3E96, 0x4549, {0xA1, 0xD1, 0x7D, 0x75, 0xD2, 0x28, 0x88, 0x14}};

bool SameGuid(const GUID& a, const GUID& b);
bool SameKey(const PROPERTYKEY& a, const PROPERTYKEY& b);

// "{F29F85E0-4FF9-1068-AB91-08002B27B3D9},2" (upper-case hex, decimal pid).
std::string KeyText(const PROPERTYKEY& key);

// The same form; hex digits in either case, pid decimal or 0x-hex. False on anything else.
bool ParseKey(std::string_view text, PROPERTYKEY& key);

} // namespace standin
