#include "standin/Value.h"

#include "standin/CountedObject.h"
#include "standin/TaskMemory.h"

#include <cstring>

namespace standin {
namespace {

constexpr VARTYPE kStrings = VT_VECTOR | VT_LPWSTR;

void FreeStrings(LPWSTR* strings, ULONG count) {
    if (strings == nullptr) {
        return;
    }
    for (ULONG i = 0; i < count; ++i) {
        TaskFree(strings[i]);
    }
    TaskFree(strings);
}

} // namespace

bool IsSigned(VARTYPE type) {
    return type == VT_I1 || type == VT_I2 || type == VT_I4 || type == VT_INT || type == VT_I8;
}

bool IsUnsigned(VARTYPE type) {
    return type == VT_UI1 || type == VT_UI2 || type == VT_UI4 || type == VT_UINT || type == VT_UI8;
}

HRESULT ToVariant(const Value& value, PROPVARIANT* variant) {
    std::memset(variant, 0, sizeof *variant);
    switch (value.type) {
    case VT_EMPTY:
        return S_OK;
    case VT_I1:
        variant->cVal = static_cast<CHAR>(value.integer);
        break;
    case VT_I2:
        variant->iVal = static_cast<SHORT>(value.integer);
        break;
    case VT_I4:
    case VT_INT:
        variant->lVal = static_cast<LONG>(value.integer);
        break;
    case VT_I8:
        variant->hVal.QuadPart = value.integer;
        break;
    case VT_UI1:
        variant->bVal = static_cast<UCHAR>(value.unsigned_);
        break;
    case VT_UI2:
        variant->uiVal = static_cast<USHORT>(value.unsigned_);
        break;
    case VT_UI4:
    case VT_UINT:
        variant->ulVal = static_cast<ULONG>(value.unsigned_);
        break;
    case VT_UI8:
        variant->uhVal.QuadPart = value.unsigned_;
        break;
    case VT_FILETIME:
        variant->filetime.dwLowDateTime = static_cast<DWORD>(value.unsigned_);
        variant->filetime.dwHighDateTime = static_cast<DWORD>(value.unsigned_ >> 32);
        break;
    case VT_R4:
        variant->fltVal = static_cast<FLOAT>(value.real);
        break;
    case VT_R8:
        variant->dblVal = value.real;
        break;
    case VT_BOOL:
        variant->boolVal = value.integer != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VT_LPWSTR:
        variant->pwszVal = TaskString(value.text);
        if (variant->pwszVal == nullptr) {
            return E_OUTOFMEMORY;
        }
        break;
    case kStrings: {
        const ULONG count = static_cast<ULONG>(value.strings.size());
        auto* elements = static_cast<LPWSTR*>(TaskAlloc(sizeof(LPWSTR) * (count ? count : 1)));
        if (elements == nullptr) {
            return E_OUTOFMEMORY;
        }
        for (ULONG i = 0; i < count; ++i) {
            elements[i] = TaskString(value.strings[i]);
            if (elements[i] == nullptr) {
                FreeStrings(elements, i);
                return E_OUTOFMEMORY;
            }
        }
        variant->calpwstr.cElems = count;
        variant->calpwstr.pElems = elements;
        break;
    }
    case VT_BLOB: {
        const ULONG size = static_cast<ULONG>(value.bytes.size());
        auto* bytes = static_cast<BYTE*>(TaskAlloc(size ? size : 1));
        if (bytes == nullptr) {
            return E_OUTOFMEMORY;
        }
        if (size != 0) {
            std::memcpy(bytes, value.bytes.data(), size);
        }
        variant->blob.cbSize = size;
        variant->blob.pBlobData = bytes;
        break;
    }
    case VT_UNKNOWN:
        variant->punkVal = NewValueObject();
        if (variant->punkVal == nullptr) {
            return E_OUTOFMEMORY;
        }
        break;
    default:
        return E_INVALIDARG;
    }
    variant->vt = value.type;
    return S_OK;
}

HRESULT FromVariant(const PROPVARIANT& variant, Value& value) {
    Value copy;
    copy.type = variant.vt;
    switch (variant.vt) {
    case VT_EMPTY:
    case VT_NULL:
        copy.type = VT_EMPTY;
        break;
    case VT_I1:
        copy.integer = variant.cVal;
        break;
    case VT_I2:
        copy.integer = variant.iVal;
        break;
    case VT_I4:
    case VT_INT:
        copy.integer = variant.lVal;
        break;
    case VT_I8:
        copy.integer = variant.hVal.QuadPart;
        break;
    case VT_UI1:
        copy.unsigned_ = variant.bVal;
        break;
    case VT_UI2:
        copy.unsigned_ = variant.uiVal;
        break;
    case VT_UI4:
    case VT_UINT:
        copy.unsigned_ = variant.ulVal;
        break;
    case VT_UI8:
        copy.unsigned_ = variant.uhVal.QuadPart;
        break;
    case VT_FILETIME:
        copy.unsigned_ =
            (std::uint64_t(variant.filetime.dwHighDateTime) << 32) | variant.filetime.dwLowDateTime;
        break;
    case VT_R4:
        copy.real = variant.fltVal;
        break;
    case VT_R8:
        copy.real = variant.dblVal;
        break;
    case VT_BOOL:
        copy.integer = variant.boolVal != VARIANT_FALSE ? 1 : 0;
        break;
    case VT_LPWSTR:
        if (variant.pwszVal == nullptr) {
            return E_INVALIDARG;
        }
        copy.text = variant.pwszVal;
        break;
    case VT_LPSTR:
        // ANSI text is taken wherever UTF-16 text is; each byte is the code unit of the same
        // number (the en-US code page, as far as the stand-in's values go).
        if (variant.pszVal == nullptr) {
            return E_INVALIDARG;
        }
        copy.type = VT_LPWSTR;
        for (const char* c = variant.pszVal; *c != 0; ++c) {
            copy.text += static_cast<WCHAR>(static_cast<unsigned char>(*c));
        }
        break;
    case kStrings:
        if (variant.calpwstr.cElems != 0 && variant.calpwstr.pElems == nullptr) {
            return E_INVALIDARG;
        }
        for (ULONG i = 0; i < variant.calpwstr.cElems; ++i) {
            if (variant.calpwstr.pElems[i] == nullptr) {
                return E_INVALIDARG;
            }
            copy.strings.emplace_back(variant.calpwstr.pElems[i]);
        }
        break;
    case VT_BLOB:
        if (variant.blob.cbSize != 0 && variant.blob.pBlobData == nullptr) {
            return E_INVALIDARG;
        }
        copy.bytes.assign(variant.blob.pBlobData, variant.blob.pBlobData + variant.blob.cbSize);
        break;
    case VT_UNKNOWN:
        break;
    default:
        return E_INVALIDARG;
    }
    value = std::move(copy);
    return S_OK;
}

HRESULT ClearVariant(PROPVARIANT* variant) {
    if (variant == nullptr) {
        return E_POINTER;
    }
    switch (variant->vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_I8:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
    case VT_UI8:
    case VT_R4:
    case VT_R8:
    case VT_BOOL:
    case VT_ERROR:
    case VT_DATE:
    case VT_FILETIME:
        break;
    case VT_LPWSTR:
        TaskFree(variant->pwszVal);
        break;
    case VT_LPSTR:
        TaskFree(variant->pszVal);
        break;
    case VT_CLSID:
        TaskFree(variant->puuid);
        break;
    case kStrings:
        FreeStrings(variant->calpwstr.pElems, variant->calpwstr.cElems);
        break;
    case VT_BLOB:
        TaskFree(variant->blob.pBlobData);
        break;
    case VT_UNKNOWN:
        if (variant->punkVal != nullptr) {
            variant->punkVal->Release();
        }
        break;
    default:
        // A type it does not know: nothing is freed, and the value is zeroed all the same.
        std::memset(variant, 0, sizeof *variant);
        return STG_E_INVALIDPARAMETER;
    }
    std::memset(variant, 0, sizeof *variant);
    return S_OK;
}

} // namespace standin
