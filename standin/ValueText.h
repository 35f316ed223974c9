// Values as text: the typed form that the control commands and the extended attributes use,
// and the conversion of written text to a property's own type.
#pragma once

#include "standin/Value.h"

#include <string>
#include <string_view>

namespace standin {

// TYPE:PAYLOAD, or a bare `empty` / `unknown`:
//   lpwstr:"Hello"   strings:"a","b"   i4:-5   ui4:50   i8:-1   ui8:1234   bool:true
//   filetime:2024-01-31T12:34:56Z (or a tick count)   double:1.5   blob:01AB   unknown   empty
// Quoted text doubles an embedded quote ("say ""hi"""); a bare payload is taken as it is.
bool ParseTypedValue(std::string_view text, Value& value, std::string& error);
// The same form; text is always quoted. Round-trips through ParseTypedValue.
std::string TypedValueText(const Value& value);

// "text" with embedded quotes doubled, and back. Unquote takes a bare token as it is.
std::string Quote(std::string_view text);
bool Unquote(std::string_view token, std::string& text);

// Text converted to a property type, as PropVariantChangeType would: strings as they are;
// string vectors split on ';' (the parts as they are); integers in decimal or 0x hexadecimal,
// signed, blanks around allowed; booleans true/false (any case), #TRUE#/#FALSE# or a number;
// dates in the canonical form 2024/01/31:14:05:09.250 or as in the typed form.
// DISP_E_TYPEMISMATCH when the text is none of these, DISP_E_OVERFLOW for a number the type
// cannot hold.
HRESULT ValueFromText(VARTYPE type, const WString& text, Value& value);

// A value coerced to the canonical value of the property (key, type), in the four steps of
// PSCoerceToCanonicalValue: VT_NULL, blank text and dates before 1601-01-02 become empty;
// text is converted to the type (ValueFromText), any other type is TYPE_E_TYPEMISMATCH; text
// is trimmed of blanks (nothing left: empty), vectors too, with empty and repeated strings
// dropped; a System.Rating in none of its ranges (0) becomes empty. An untyped property
// (VT_EMPTY) keeps whatever it is given.
HRESULT CoerceToType(const PROPERTYKEY& key, VARTYPE type, const Value& value, Value& coerced);

struct PropertyInfo;
// PSCoerceToCanonicalValue in place. On failure the value has been cleared, as documented:
// E_INVALIDARG for a value of a type the stand-in does not hold, else CoerceToType's failure.
HRESULT CoerceVariant(const PropertyInfo& info, PROPVARIANT* variant);

} // namespace standin
