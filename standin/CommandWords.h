// Splitting a control command into words, and the small word forms the commands share.
#pragma once

#include "platform/platform.h"

#include <string>
#include <string_view>
#include <vector>

namespace standin {

// Words are separated by blanks outside double quotes; quotes stay in the words (a doubled
// quote inside quotes is one quote). False, with a reason, on an unclosed quote.
bool SplitWords(std::string_view command, std::vector<std::string>& words, std::string& error);

// A canonical name the stand-in knows, or {GUID},pid.
bool ParseKeyWord(std::string_view word, PROPERTYKEY& key, std::string& error);
// The canonical name when the key has one, else {GUID},pid.
std::string KeyWord(const PROPERTYKEY& key);

// 0x followed by up to eight hex digits, or a name: S_OK, S_FALSE, E_FAIL, E_INVALIDARG,
// E_OUTOFMEMORY, E_NOTIMPL, E_POINTER, E_UNEXPECTED, E_ACCESSDENIED, E_NOINTERFACE,
// STG_E_ACCESSDENIED, TYPE_E_ELEMENTNOTFOUND, INPLACE_S_TRUNCATED.
bool ParseResultWord(std::string_view word, HRESULT& result);

} // namespace standin
