#include "host/HostStorage.h"

#include <algorithm>
#include <new>

namespace zekhost {
namespace {

using zekextender::HostValue;

HostStorage* StorageOf(void* context) {
    return static_cast<HostStorage*>(context);
}

// The C entry points the extender calls. Nothing may unwind into the extender, so an
// allocation failure becomes a refusal.
std::int32_t ArrayServiceEntry(void* context, HostValue* value, std::uint32_t valueSize,
                               zekextender::ArrayDimensions* dimensions,
                               std::uint32_t dimensionsSize, std::int32_t operation) {
    try {
        return context == nullptr ? ServiceRejected
                                  : StorageOf(context)->ArrayService(value, valueSize, dimensions,
                                                                     dimensionsSize, operation);
    } catch (const std::bad_alloc&) {
        return ServiceRejected;
    }
}

std::int32_t ElementServiceEntry(void* context, HostValue* array, std::int32_t subscript1,
                                 std::int32_t subscript2, std::int32_t subscript3,
                                 std::int32_t subscript4, std::int32_t subscript5,
                                 HostValue* element, std::uint32_t valueSize,
                                 std::int32_t operation) {
    const std::int32_t subscripts[5] = {subscript1, subscript2, subscript3, subscript4, subscript5};
    try {
        return context == nullptr ? ServiceRejected
                                  : StorageOf(context)->ElementService(array, subscripts, element,
                                                                       valueSize, operation);
    } catch (const std::bad_alloc&) {
        return ServiceRejected;
    }
}

std::int32_t VariableServiceEntry(void* context, void* first, HostValue* value,
                                  std::uint32_t valueSize, std::int32_t operation) {
    try {
        return context == nullptr
                   ? ServiceRejected
                   : StorageOf(context)->VariableService(first, value, valueSize, operation);
    } catch (const std::bad_alloc&) {
        return ServiceRejected;
    }
}

} // namespace

void HostStorage::Install(zekextender::HostServices& services) {
    services.context = this;
    services.arrayService = &ArrayServiceEntry;
    services.arrayElementService = &ElementServiceEntry;
    services.variableService = &VariableServiceEntry;
}

void HostStorage::ClearFailures() {
    failArrayCreate_ = false;
    failVariable_ = false;
    failElements_.clear();
}

const HostArray* HostStorage::FindArray(std::int32_t handle) const {
    const auto found = arrays_.find(handle);
    return found == arrays_.end() ? nullptr : &found->second;
}

void HostStorage::MarkDelivered(std::int32_t handle) {
    const auto found = arrays_.find(handle);
    if (found != arrays_.end()) {
        found->second.delivered = true;
    }
}

void HostStorage::ReleaseHeld(std::int32_t handle) {
    const auto found = arrays_.find(handle);
    if (found != arrays_.end() && found->second.Live()) {
        found->second.releasedByHost = true;
        found->second.elements.clear();
    }
}

int HostStorage::LeakedArrays() const {
    return static_cast<int>(std::count_if(arrays_.begin(), arrays_.end(), [](const auto& entry) {
        return !entry.second.releasedByExtender && !entry.second.delivered;
    }));
}

int HostStorage::TakeBadReleases() {
    const int count = badReleases_;
    badReleases_ = 0;
    return count;
}

HostArray* HostStorage::LiveArray(const HostValue* value) {
    if (value == nullptr || (value->type & zekextender::HostValueArray) == 0) {
        return nullptr;
    }
    const auto found = arrays_.find(value->intValue);
    return found != arrays_.end() && found->second.Live() ? &found->second : nullptr;
}

std::int32_t HostStorage::ArrayService(HostValue* value, std::uint32_t valueSize,
                                       zekextender::ArrayDimensions* dimensions,
                                       std::uint32_t dimensionsSize, std::int32_t operation) {
    if (operation == zekextender::ArrayCreate) {
        if (failArrayCreate_) {
            return ServiceInjectedFailure;
        }
        if (value == nullptr || valueSize != zekextender::HostValueSize || dimensions == nullptr ||
            dimensionsSize != sizeof(zekextender::ArrayDimensions) ||
            dimensions->extent[0] > MaximumArrayExtent) {
            return ServiceRejected;
        }
        const std::int32_t handle = nextHandle_++;
        arrays_[handle].elements.resize(dimensions->extent[0]);
        value->type = zekextender::HostValueArray;
        value->intValue = handle;
        value->text = nullptr;
        return ServiceOk;
    }
    if (operation == zekextender::ArrayRelease) {
        HostArray* array = valueSize == zekextender::HostValueSize ? LiveArray(value) : nullptr;
        if (array == nullptr) {
            ++badReleases_;
            return ServiceRejected;
        }
        array->releasedByExtender = true;
        array->elements.clear();
        return ServiceOk;
    }
    return ServiceRejected;
}

std::int32_t HostStorage::ElementService(HostValue* array, const std::int32_t subscripts[5],
                                         HostValue* element, std::uint32_t valueSize,
                                         std::int32_t operation) {
    if (operation != zekextender::ArrayElementStore) {
        return ServiceRejected;
    }
    if (std::find(failElements_.begin(), failElements_.end(), subscripts[0]) !=
        failElements_.end()) {
        return ServiceInjectedFailure;
    }
    HostArray* target = LiveArray(array);
    if (target == nullptr || element == nullptr || valueSize != zekextender::HostValueSize ||
        subscripts[0] < 0 || static_cast<std::size_t>(subscripts[0]) >= target->elements.size()) {
        return ServiceRejected;
    }
    // The arrays are one-dimensional.
    for (int i = 1; i < 5; ++i) {
        if (subscripts[i] != 0) {
            return ServiceRejected;
        }
    }
    target->elements[static_cast<std::size_t>(subscripts[0])] = OwnedValue::Capture(*element);
    return ServiceOk;
}

std::int32_t HostStorage::VariableService(void* first, HostValue* value, std::uint32_t valueSize,
                                          std::int32_t operation) {
    if (failVariable_) {
        return ServiceInjectedFailure;
    }
    if (value == nullptr || valueSize != zekextender::HostValueSize) {
        return ServiceRejected;
    }
    if (operation == VariableStore) {
        variables_[first] = OwnedValue::Capture(*value);
        return ServiceOk;
    }
    if (operation == VariableFetch) {
        const auto found = variables_.find(first);
        if (found == variables_.end()) {
            return ServiceRejected;
        }
        *value = found->second.View();
        return ServiceOk;
    }
    return ServiceRejected;
}

} // namespace zekhost
