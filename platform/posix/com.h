// Stand-in for the COM and property-system declarations the extender uses, for machines
// without Windows. Layouts follow the published Windows structures.
#pragma once

#include "win32.h"

#include <cstdint>
#include <cstring>

using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using UCHAR = unsigned char;
using INT = int;
using FLOAT = float;
using DOUBLE = double;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using SCODE = LONG;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = SHORT;
using PWSTR = WCHAR*;
using PCWSTR = const WCHAR*;
using LPOLESTR = WCHAR*;

#define STDMETHODCALLTYPE
#define STDAPI extern "C" HRESULT
#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

// HRESULTs this system meets.
#define S_OK ((HRESULT)0x00000000L)
#define S_FALSE ((HRESULT)0x00000001L)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFL)
#define E_ACCESSDENIED ((HRESULT)0x80070005L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define STG_E_ACCESSDENIED ((HRESULT)0x80030005L)
#define STG_E_INVALIDPARAMETER ((HRESULT)0x80030057L)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005L)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000AL)
#define TYPE_E_ELEMENTNOTFOUND ((HRESULT)0x8002802BL)
#define TYPE_E_TYPEMISMATCH ((HRESULT)0x80028CA0L)
#define INPLACE_S_TRUNCATED ((HRESULT)0x000401A0L)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0L)
#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106L)
#define HRESULT_FROM_WIN32(x)                                                                      \
    ((HRESULT)(x) <= 0 ? ((HRESULT)(x)) : ((HRESULT)(((x)&0x0000FFFF) | (7 << 16) | 0x80000000)))

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16, "GUID layout");
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFGUID = const GUID&;

inline bool operator==(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
inline bool operator!=(const GUID& a, const GUID& b) {
    return !(a == b);
}
inline bool IsEqualIID(REFIID a, REFIID b) {
    return a == b;
}

struct PROPERTYKEY {
    GUID fmtid;
    DWORD pid;
};
static_assert(sizeof(PROPERTYKEY) == 20, "PROPERTYKEY layout");
using REFPROPERTYKEY = const PROPERTYKEY&;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
};
union ULARGE_INTEGER {
    struct {
        DWORD LowPart;
        DWORD HighPart;
    } u;
    ULONGLONG QuadPart;
};

struct BLOB {
    ULONG cbSize;
    BYTE* pBlobData;
};
struct CALPWSTR {
    ULONG cElems;
    LPWSTR* pElems;
};
struct CAUL {
    ULONG cElems;
    ULONG* pElems;
};

struct IUnknown;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_UNKNOWN = 13,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_FILETIME = 64,
    VT_BLOB = 65,
    VT_CLSID = 72,
    VT_VECTOR = 0x1000,
};

struct PROPVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        CHAR cVal;
        UCHAR bVal;
        SHORT iVal;
        USHORT uiVal;
        LONG lVal;
        ULONG ulVal;
        INT intVal;
        UINT uintVal;
        LARGE_INTEGER hVal;
        ULARGE_INTEGER uhVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        FILETIME filetime;
        CLSID* puuid;
        BLOB blob;
        LPSTR pszVal;
        LPWSTR pwszVal;
        IUnknown* punkVal;
        CALPWSTR calpwstr;
        CAUL caul;
    };
};
static_assert(sizeof(PROPVARIANT) == 24, "PROPVARIANT layout");
using REFPROPVARIANT = const PROPVARIANT&;

// Interfaces: the vtable order of the published ones. IPropertyStore and IPropertyDescription
// are complete, so objects that implement them (test fakes, the stand-in) are the same on
// every platform.
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IBindCtx;

struct IPropertyStore : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAt(DWORD index, PROPERTYKEY* key) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY key, REFPROPVARIANT value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Commit() = 0;

protected:
    ~IPropertyStore() = default;
};

enum PROPDESC_TYPE_FLAGS : DWORD {};
// Enumerations of the description interface that nothing here interprets.
enum PROPDESC_VIEW_FLAGS : DWORD {};
enum PROPDESC_DISPLAYTYPE : DWORD {};
enum PROPDESC_GROUPING_RANGE : DWORD {};
enum PROPDESC_RELATIVEDESCRIPTION_TYPE : DWORD {};
enum PROPDESC_SORTDESCRIPTION : DWORD {};
enum PROPDESC_AGGREGATION_TYPE : DWORD {};
enum PROPDESC_CONDITION_TYPE : DWORD {};
enum CONDITION_OPERATION : DWORD {};
using SHCOLSTATEF = DWORD;
enum PROPDESC_FORMAT_FLAGS : DWORD {
    PDFF_DEFAULT = 0,
    PDFF_PREFIXNAME = 0x1,
    PDFF_FILENAME = 0x2,
    PDFF_ALWAYSKB = 0x4,
    PDFF_RESERVED_RIGHTTOLEFT = 0x8,
    PDFF_SHORTTIME = 0x10,
    PDFF_LONGTIME = 0x20,
    PDFF_HIDETIME = 0x40,
    PDFF_SHORTDATE = 0x80,
    PDFF_LONGDATE = 0x100,
    PDFF_HIDEDATE = 0x200,
    PDFF_RELATIVEDATE = 0x400,
    PDFF_USEEDITINVITATION = 0x800,
    PDFF_READONLY = 0x1000,
    PDFF_NOAUTOREADINGORDER = 0x2000,
};

struct IPropertyDescription : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetPropertyKey(PROPERTYKEY* key) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCanonicalName(LPWSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPropertyType(VARTYPE* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDisplayName(LPWSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEditInvitation(LPWSTR* invitation) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeFlags(PROPDESC_TYPE_FLAGS mask,
                                                   PROPDESC_TYPE_FLAGS* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetViewFlags(PROPDESC_VIEW_FLAGS* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDefaultColumnWidth(UINT* characters) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDisplayType(PROPDESC_DISPLAYTYPE* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetColumnState(SHCOLSTATEF* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetGroupingRange(PROPDESC_GROUPING_RANGE* range) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    GetRelativeDescriptionType(PROPDESC_RELATIVEDESCRIPTION_TYPE* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRelativeDescription(REFPROPVARIANT first,
                                                             REFPROPVARIANT second,
                                                             LPWSTR* firstText,
                                                             LPWSTR* secondText) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSortDescription(PROPDESC_SORTDESCRIPTION* description) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSortDescriptionLabel(BOOL descending, LPWSTR* label) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAggregationType(PROPDESC_AGGREGATION_TYPE* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetConditionType(PROPDESC_CONDITION_TYPE* type,
                                                       CONDITION_OPERATION* operation) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEnumTypeList(REFIID riid, void** object) = 0;
    virtual HRESULT STDMETHODCALLTYPE CoerceToCanonicalValue(PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE FormatForDisplay(REFPROPVARIANT value,
                                                       PROPDESC_FORMAT_FLAGS flags,
                                                       LPWSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsValueCanonical(REFPROPVARIANT value) = 0;

protected:
    ~IPropertyDescription() = default;
};

enum GETPROPERTYSTOREFLAGS : DWORD {
    GPS_DEFAULT = 0,
    GPS_HANDLERPROPERTIESONLY = 0x1,
    GPS_READWRITE = 0x2,
    GPS_TEMPORARY = 0x4,
    GPS_FASTPROPERTIESONLY = 0x8,
    GPS_OPENSLOWITEM = 0x10,
    GPS_DELAYCREATION = 0x20,
    GPS_BESTEFFORT = 0x40,
    GPS_NO_OPLOCK = 0x80,
    GPS_PREFERQUERYPROPERTIES = 0x100,
    GPS_EXTRINSICPROPERTIES = 0x200,
    GPS_EXTRINSICPROPERTIESONLY = 0x400,
    GPS_VOLATILEPROPERTIES = 0x800,
    GPS_VOLATILEPROPERTIESONLY = 0x1000,
    GPS_MASK_VALID = 0x1FFF,
};

// OLE and the COM task allocator.
extern "C" {
HRESULT OleInitialize(LPVOID reserved);
void OleUninitialize();
LPVOID CoTaskMemAlloc(std::size_t size);
void CoTaskMemFree(LPVOID memory);

// The property-system entry points, as the published headers declare them. Nothing links
// against these: the extender binds them at run time by name.
HRESULT SHGetPropertyStoreFromParsingName(PCWSTR path, IBindCtx* bindContext,
                                          GETPROPERTYSTOREFLAGS flags, REFIID riid, void** object);
HRESULT PSFormatForDisplay(REFPROPERTYKEY key, REFPROPVARIANT value, PROPDESC_FORMAT_FLAGS flags,
                           LPWSTR text, DWORD capacity);
HRESULT PSFormatForDisplayAlloc(REFPROPERTYKEY key, REFPROPVARIANT value,
                                PROPDESC_FORMAT_FLAGS flags, PWSTR* text);
HRESULT PSFormatPropertyValue(IPropertyStore* store, IPropertyDescription* description,
                              PROPDESC_FORMAT_FLAGS flags, LPWSTR* text);
HRESULT PSGetPropertyKeyFromName(PCWSTR name, PROPERTYKEY* key);
HRESULT PSGetNameFromPropertyKey(REFPROPERTYKEY key, PWSTR* name);
HRESULT PSCoerceToCanonicalValue(REFPROPERTYKEY key, PROPVARIANT* value);
HRESULT PSGetPropertyDescription(REFPROPERTYKEY key, REFIID riid, void** object);
HRESULT PSGetPropertyDescriptionByName(PCWSTR name, REFIID riid, void** object);
HRESULT PropVariantClear(PROPVARIANT* value);
}
