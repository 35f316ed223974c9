// The one header through which core code reaches the operating system.
//
// On Windows it is the SDK. Elsewhere it is our own stand-in (platform/posix), which declares
// the Win32 and COM names the extender uses, with the same meaning and no more.
//
// Text inside the extender is UTF-16: WCHAR is 16 bits on every platform, WString is its
// string and U16("...") its literal.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <ntsecapi.h>
#include <ole2.h>
#include <propsys.h>
#include <shobjidl.h>
#define U16_LITERAL(s) L##s
#else
#include "posix/com.h"
#include "posix/win32.h"
#define U16_LITERAL(s) u##s
#endif

#include <string>

#define U16(s) U16_LITERAL(s)

static_assert(sizeof(WCHAR) == 2, "UTF-16 code units are 16 bits");

using WString = std::basic_string<WCHAR>;
