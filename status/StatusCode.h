// The one code set in which every part of the extender reports success or failure.
//
// 0 is success; 1 to 224 are the failure codes of the message catalogue. Scripts see these
// numbers as plain integers, so a code's number is its identity and never changes.
#pragma once

#include <cstdint>

using StatusCode = std::int32_t;

// Codes the extender names in its own logic. The tables of the translator use bare numbers,
// as each row reads most clearly beside the native value it maps.
constexpr StatusCode StatusSuccess = 0;
constexpr StatusCode StatusUnspecified = 3;        // no mapping for an HRESULT or errno value
constexpr StatusCode StatusExceptionConverted = 2; // an exception stopped at the host boundary
constexpr StatusCode StatusOsFunctionFailed = 4;   // no mapping for a Win32 error or NTSTATUS
constexpr StatusCode StatusInvalidParameter = 9;
constexpr StatusCode StatusCannotService = 13;
constexpr StatusCode StatusOutOfMemory = 20;
constexpr StatusCode StatusDirectoryServiceUnknown = 38;
constexpr StatusCode StatusAccessDenied = 44;
constexpr StatusCode StatusLibraryLoadFailed = 95;
constexpr StatusCode StatusEntryPointMissing = 96;
constexpr StatusCode StatusNotStringConvertible = 218;
constexpr StatusCode StatusPropertyStoreUnspecified = 223;
constexpr StatusCode StatusPropertyNotInStore = 224;

// The catalogue holds every code from StatusSuccess to StatusLastCatalogued without gaps.
constexpr StatusCode StatusLastCatalogued = 224;

// The kind of a native error value handed to the translator. Each kind is a single bit; any
// other value may be cast in and names no kind.
enum class ErrorSource : std::uint32_t {
    Win32Error = 1,      // GetLastError
    HResult = 2,         // COM and Shell results
    NetApiStatus = 4,    // network-management status (NERR range and ordinary Win32 errors)
    NtStatus = 8,        // NTSTATUS, converted by the system's LsaNtStatusToWinError
    CrtErrno = 32,       // errno of the C runtime
    NtStatusTable = 1024 // NTSTATUS, converted by the translator's own table
};
