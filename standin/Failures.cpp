#include "standin/Failures.h"

#include "standin/Keys.h"

#include <vector>

namespace standin {
namespace {

constexpr PointInfo kPoints[] = {
    {"open", Point::Open, Selector::None, true, false},
    {"SHGetPropertyStoreFromParsingName", Point::Open, Selector::None, true, false},
    {"GetCount", Point::GetCount, Selector::None, true, false},
    {"GetAt", Point::GetAt, Selector::Index, true, false},
    {"GetValue", Point::GetValue, Selector::Key, true, false},
    {"SetValue", Point::SetValue, Selector::Key, true, false},
    {"Commit", Point::Commit, Selector::None, true, false},
    {"PSGetNameFromPropertyKey", Point::GetNameFromPropertyKey, Selector::Key, false, true},
    {"PSGetPropertyKeyFromName", Point::GetPropertyKeyFromName, Selector::Name, false, false},
    {"PSGetPropertyDescriptionByName", Point::GetPropertyDescriptionByName, Selector::Name, false,
     false},
    {"PSGetPropertyDescription", Point::GetPropertyDescription, Selector::Key, false, false},
    {"GetDisplayName", Point::GetDisplayName, Selector::Name, false, true},
    {"PSFormatForDisplayAlloc", Point::FormatForDisplayAlloc, Selector::Key, false, true},
    {"PSFormatForDisplay", Point::FormatForDisplay, Selector::Key, false, false},
    {"PSFormatPropertyValue", Point::FormatPropertyValue, Selector::None, false, false},
    {"PSCoerceToCanonicalValue", Point::CoerceToCanonicalValue, Selector::Key, false, false},
    {"PropVariantClear", Point::PropVariantClear, Selector::None, false, false},
};

std::vector<Failure>& Failures() {
    static std::vector<Failure> failures;
    return failures;
}

struct Call {
    const WString* item = nullptr;
    const DWORD* index = nullptr;
    const PROPERTYKEY* key = nullptr;
    const WString* name = nullptr;
};

bool Matches(const Failure& failure, Point point, const Call& call) {
    if (failure.point != point) {
        return false;
    }
    if (failure.hasItem && (call.item == nullptr || *call.item != failure.item)) {
        return false;
    }
    if (!failure.hasSelector) {
        return true;
    }
    return (call.index != nullptr && *call.index == failure.index) ||
           (call.key != nullptr && SameKey(*call.key, failure.key)) ||
           (call.name != nullptr && *call.name == failure.name);
}

std::optional<Injection> Find(Point point, const Call& call) {
    const std::vector<Failure>& failures = Failures();
    for (auto it = failures.rbegin(); it != failures.rend(); ++it) {
        if (Matches(*it, point, call)) {
            return Injection{it->result, it->leaveNull};
        }
    }
    return std::nullopt;
}

} // namespace

const PointInfo* FindPoint(std::string_view name) {
    for (const PointInfo& info : kPoints) {
        if (name == info.name) {
            return &info;
        }
    }
    return nullptr;
}

void AddFailure(const Failure& failure) {
    Failures().push_back(failure);
}

void RemoveFailures(const Point* point) {
    std::vector<Failure>& failures = Failures();
    if (point == nullptr) {
        failures.clear();
        return;
    }
    std::vector<Failure> kept;
    for (const Failure& failure : failures) {
        if (failure.point != *point) {
            kept.push_back(failure);
        }
    }
    failures.swap(kept);
}

void ForgetFailures() {
    Failures().clear();
}

std::optional<Injection> Injected(Point point) {
    return Find(point, Call{});
}

std::optional<Injection> InjectedInStore(Point point, const WString& item) {
    Call call;
    call.item = &item;
    return Find(point, call);
}

std::optional<Injection> InjectedAt(Point point, const WString& item, DWORD index) {
    Call call;
    call.item = &item;
    call.index = &index;
    return Find(point, call);
}

std::optional<Injection> InjectedFor(Point point, const WString* item, const PROPERTYKEY& key) {
    Call call;
    call.item = item;
    call.key = &key;
    return Find(point, call);
}

std::optional<Injection> InjectedForName(Point point, const WString& name) {
    Call call;
    call.name = &name;
    return Find(point, call);
}

} // namespace standin
