// Failures that tests inject into the stand-in's entry points and methods.
//
// An injected result replaces what the call would return. A failure code makes the call do
// nothing (outputs null or empty); a success code lets it do its work and return that code.
// For the calls that hand out text, "leave null" withholds the text; without it, a failing
// call still leaves the text it would have produced, so callers that free it can be checked.
#pragma once

#include "platform/platform.h"

#include <optional>
#include <string_view>

namespace standin {

enum class Point {
    Open,
    GetCount,
    GetAt,
    GetValue,
    SetValue,
    Commit,
    GetNameFromPropertyKey,
    GetPropertyKeyFromName,
    GetPropertyDescriptionByName,
    GetPropertyDescription,
    GetDisplayName,
    FormatForDisplayAlloc,
    FormatForDisplay,
    FormatPropertyValue,
    CoerceToCanonicalValue,
    PropVariantClear,
};

// What a failure of a point can be narrowed to.
enum class Selector { None, Index, Key, Name };

struct PointInfo {
    const char* name;
    Point point;
    Selector selector;
    bool storeScoped; // may be narrowed to one parsing name ("in")
    bool textOut;     // may leave its text null
};

// By the name the control commands use (the method or entry-point name, or "open").
const PointInfo* FindPoint(std::string_view name);

struct Failure {
    Point point = Point::Open;
    bool hasSelector = false;
    DWORD index = 0;
    PROPERTYKEY key{};
    WString name;
    bool hasItem = false;
    WString item;
    HRESULT result = S_OK;
    bool leaveNull = false;
};

struct Injection {
    HRESULT result;
    bool leaveNull;
};

// A later failure for the same call takes precedence over an earlier one.
void AddFailure(const Failure& failure);
void RemoveFailures(const Point* point); // null: all
void ForgetFailures();

std::optional<Injection> Injected(Point point);
std::optional<Injection> InjectedInStore(Point point, const WString& item);
std::optional<Injection> InjectedAt(Point point, const WString& item, DWORD index);
std::optional<Injection> InjectedFor(Point point, const WString* item, const PROPERTYKEY& key);
std::optional<Injection> InjectedForName(Point point, const WString& name);

} // namespace standin
