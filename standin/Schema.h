// The properties the stand-in knows: canonical name, key, value type, English display name and
// whether a store may write it. Tests can give further keys a name (the `name` command).
#pragma once

#include "platform/platform.h"

namespace standin {

struct PropertyInfo {
    const WCHAR* name;
    PROPERTYKEY key;
    VARTYPE type; // VT_EMPTY: untyped, a written value is kept as it came
    const WCHAR* displayName;
    bool writable;
};

// Name lookups are exact (case-sensitive), as the canonical names are; a few older names
// (DocTitle, ...) resolve to the property of their canonical name. The built-in schema
// answers before names given by tests, so a test cannot redefine a published name's key.
const PropertyInfo* FindProperty(const WString& name);
const PropertyInfo* FindProperty(const PROPERTYKEY& key);

// Gives a key without a name a canonical name. A name already known lends the key its type,
// display name and writability, and keeps resolving to its first key (several keys can share
// a name); a new name makes an untyped, writable property displayed under the name itself.
// False when the key already has a name.
bool NameKey(const PROPERTYKEY& key, const WString& name);
void ForgetKeyNames();

// Published keys the formatter and the coercion treat specially: System.Size (a byte count),
// System.Rating (stars, ranges from 1) and System.FileAttributes (letters).
extern const PROPERTYKEY kSizeKey;
extern const PROPERTYKEY kRatingKey;
extern const PROPERTYKEY kAttributesKey;

} // namespace standin
