// Translation of native error values into the extender's status codes.
//
// Every native failure is translated where it occurs and the resulting code passed on
// unchanged. Translation allocates nothing, keeps no state and cannot fail: every source and
// value yields a code.
#pragma once

#include "status/StatusCode.h"

#include <cstdint>

// Translates one native value of the given kind. noFallback matters only for Win32Error and
// NetApiStatus, which otherwise give an unlisted value a second look-up in each other's
// table. A source that names no kind yields StatusUnspecified for every value.
StatusCode TranslateNativeError(ErrorSource source, std::uint32_t value, bool noFallback) noexcept;

StatusCode StatusFromWin32Error(std::uint32_t error) noexcept;
StatusCode StatusFromHResult(std::uint32_t hr) noexcept;
StatusCode StatusFromNetApiStatus(std::uint32_t status) noexcept;
// Converts through the system's LsaNtStatusToWinError (not called for 0).
StatusCode StatusFromNtStatus(std::uint32_t status) noexcept;
StatusCode StatusFromErrno(std::uint32_t error) noexcept;
// Converts through the translator's own NTSTATUS table instead of the system's.
StatusCode StatusFromNtStatusTable(std::uint32_t status) noexcept;
