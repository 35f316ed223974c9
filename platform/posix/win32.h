// Stand-in for the parts of the Windows API that the extender calls, for machines without it.
// Types keep their Windows widths (LONG and DWORD are 32 bits, WCHAR is UTF-16).
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using HRESULT = std::int32_t;
using NTSTATUS = LONG;
using WCHAR = char16_t;
using CHAR = char;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPBOOL = BOOL*;
using LPVOID = void*;
using LPCVOID = const void*;
using PUINT = UINT*;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using FARPROC = INT_PTR (*)();
using HANDLE = void*;

#define WINAPI
#define TRUE 1
#define FALSE 0
#define MAX_PATH 260

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_BAD_FORMAT 11L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_CALL_NOT_IMPLEMENTED 120L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_MR_MID_NOT_FOUND 317L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L

#define VS_FFI_SIGNATURE 0xFEEF04BDL

// Fixed part of a version resource ("\\" of VerQueryValueW).
struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52, "VS_FIXEDFILEINFO layout");

// Module of the running program (null) or of a shared library (the handle dlopen gave,
// which LoadLibraryW also returns). Returns the length copied; 0 on failure. A path longer
// than the buffer is truncated and terminated, and nSize is returned.
DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);

// Libraries by file name: a bare name is searched as the dynamic loader searches.
HMODULE LoadLibraryW(LPCWSTR lpLibFileName);
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL FreeLibrary(HMODULE hLibModule);

// LOAD_LIBRARY_SEARCH_SYSTEM32 (alone, with no file handle) loads a system module as
// LoadLibraryW does: here the stand-in is the system's folder. Other flags fail with
// ERROR_INVALID_PARAMETER. There is no system folder to name: GetSystemDirectoryW fails with
// ERROR_CALL_NOT_IMPLEMENTED.
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
HMODULE LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
UINT GetSystemDirectoryW(LPWSTR lpBuffer, UINT uSize);

// The calling thread's identifier: unique among the process's live threads, never 0.
DWORD GetCurrentThreadId();

// Version information of a file. On this platform a module carries its compiled version
// resource (the same .res data the Windows build links) in an ELF section of its own.
DWORD GetFileVersionInfoSizeW(LPCWSTR lptstrFilename, DWORD* lpdwHandle);
BOOL GetFileVersionInfoW(LPCWSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData);
BOOL VerQueryValueW(LPCVOID pBlock, LPCWSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen);

// Null pointers give null (lstrcpyW, lstrcpynW) or 0 (lstrlenW) instead of faulting.
// lstrcpynW copies at most iMaxLength - 1 units and terminates whenever iMaxLength >= 1.
LPWSTR lstrcpyW(LPWSTR lpString1, LPCWSTR lpString2);
LPWSTR lstrcpynW(LPWSTR lpString1, LPCWSTR lpString2, int iMaxLength);
int lstrlenW(LPCWSTR lpString);
// Lower-cases ASCII and Latin-1 letters in place. A value below 0x10000 is one character,
// not a pointer, and comes back converted.
LPWSTR CharLowerW(LPWSTR lpsz);

#define CP_UTF8 65001
#define WC_ERR_INVALID_CHARS 0x80

// Code pages 28591 (ISO 8859-1: units above 0xFF become the default character, '?' unless
// lpDefaultChar gives one) and CP_UTF8 (unpaired surrogates become U+FFFD, or fail with
// WC_ERR_INVALID_CHARS). cbMultiByte 0 asks for the size needed.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar);

// One NTSTATUS in, one Win32 error out; never fails (unknown values give
// ERROR_MR_MID_NOT_FOUND, as on Windows).
ULONG LsaNtStatusToWinError(NTSTATUS Status);

DWORD GetLastError();
void SetLastError(DWORD dwErrCode);
