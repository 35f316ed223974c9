// A property value as the stand-in keeps it, and its PROPVARIANT form.
//
// PROPVARIANTs handed out own task memory the way the Windows ones do (strings, vector arrays
// and their strings, blob bytes), so either this library's PropVariantClear or the system's
// releases them; a VT_UNKNOWN value is a fresh object with one reference.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <vector>

namespace standin {

struct Value {
    VARTYPE type = VT_EMPTY;
    std::int64_t integer = 0;     // VT_I1, VT_I2, VT_I4, VT_INT, VT_I8, VT_BOOL (0 or 1)
    std::uint64_t unsigned_ = 0;  // VT_UI1, VT_UI2, VT_UI4, VT_UINT, VT_UI8, VT_FILETIME
    double real = 0;              // VT_R4, VT_R8
    WString text;                 // VT_LPWSTR
    std::vector<WString> strings; // VT_VECTOR | VT_LPWSTR
    std::vector<BYTE> bytes;      // VT_BLOB

    bool IsEmpty() const { return type == VT_EMPTY; }
};

bool IsSigned(VARTYPE type);
bool IsUnsigned(VARTYPE type); // the unsigned integers, not VT_FILETIME

// S_OK, E_OUTOFMEMORY (nothing left allocated), or E_INVALIDARG for a type we do not hold.
HRESULT ToVariant(const Value& value, PROPVARIANT* variant);

// A copy of what the PROPVARIANT holds; E_INVALIDARG for a type outside the list above (or a
// null string pointer). VT_NULL reads as empty, VT_LPSTR as the VT_LPWSTR text it spells; a
// VT_UNKNOWN value keeps no pointer.
HRESULT FromVariant(const PROPVARIANT& variant, Value& value);

// PropVariantClear: frees what the value owns and leaves VT_EMPTY. A type it does not know
// frees nothing, is zeroed too and reported (STG_E_INVALIDPARAMETER).
HRESULT ClearVariant(PROPVARIANT* variant);

} // namespace standin
