#include "properties/binding/OwnedResources.h"

#include "properties/binding/PropertySystemApi.h"

namespace zekextender {

void PropVariantValue::clear() {
    if (PropertySystem.IsLoaded()) {
        PropertySystem.PropVariantClear(&value);
    }
    std::memset(&value, 0, sizeof value);
}

} // namespace zekextender
