// The English message of every status code, built once when the module loads.
#pragma once

#include "platform/platform.h"
#include "status/StatusCode.h"

#include <map>

// Code → message for the codes 0 to 224. Written only while the module loads and unloads;
// defined, and built, with the module's other static objects (propstore/StaticObjects.cpp).
extern std::map<StatusCode, WString> StatusCatalogue;

// Fills the catalogue (replacing whatever it held). Runs during static initialisation.
void BuildStatusCatalogue();

// The message of a catalogue code and true; for any other code "Unknown status code: N."
// and false.
bool GetStatusMessage(StatusCode code, WString& text);

// GetStatusMessage's text, found or not.
WString StatusMessageOf(StatusCode code);

// The catalogue's message of a code, or null. Allocates nothing.
const WString* FindStatusMessage(StatusCode code);

// True when the catalogue holds no row for the code.
bool IsUnknownStatusCode(StatusCode code);

// A signed decimal number as "%d" formats it, terminated, without allocating.
using DecimalText = WCHAR[12];
void FormatDecimal(std::int32_t value, DecimalText& text);

// Appends a signed decimal number, as "%d" formats it.
void AppendDecimal(WString& text, std::int32_t value);
