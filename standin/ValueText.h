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

// Written text converted to a property type, as a store converts a VT_LPWSTR it is given:
// strings as they are; string vectors split on ';' with blanks trimmed and empty parts
// dropped (nothing left: empty); integers in decimal, blanks around allowed, in range;
// booleans true/false/yes/no (any case) or 1/0; dates as in the typed form. E_INVALIDARG when
// the text does not convert.
HRESULT ValueFromText(VARTYPE type, const WString& text, Value& value);

// A value as a property of the type keeps it: empty stays empty, the same type is kept, text
// is converted (ValueFromText), anything else is E_INVALIDARG. An untyped property (VT_EMPTY)
// keeps whatever it is given.
HRESULT CoerceToType(VARTYPE type, const Value& value, Value& coerced);

} // namespace standin
