// The module's exported functions, as the host and the tests call them.
#pragma once

#include "extender/HostInterface.h"

extern "C" {
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
std::int32_t ZEKExtenderQueryW(std::int16_t query, INT_PTR first, INT_PTR second) noexcept;
std::int32_t ZEKExtender2W(INT_PTR hostParam1, INT_PTR hostParam2, std::uint32_t callCookie,
                           std::int16_t functionId, zekextender::ReturnCallback returnCallback,
                           zekextender::HostServices* hostServices, INT_PTR hostParam3, void* data,
                           std::uint32_t index, zekextender::HostValue* result) noexcept;
}
