#include "propstore/binding/OwnedResources.h"

#include "propstore/binding/PropertySystemApi.h"

namespace zekextender {

void PropVariantValue::clear() {
    if (PropertySystem.IsLoaded()) {
        PropertySystem.PropVariantClear(&value);
    }
    std::memset(&value, 0, sizeof value);
}

} // namespace zekextender
