// The host's array and variable storage behind the HostServices table, with switches that
// make each service fail on demand.
//
// An array value carries type 0x100 and the array's handle in its integer field. Handles are
// never reused, so a stale handle is recognised instead of reaching another array.
#pragma once

#include "host/OwnedValue.h"

#include <cstdint>
#include <map>
#include <vector>

namespace zekhost {

// Service results: every nonzero value is a failure to the extender.
constexpr std::int32_t ServiceOk = 0;
constexpr std::int32_t ServiceInjectedFailure = 1; // told to fail by a @fail directive
constexpr std::int32_t ServiceRejected = 2;        // bad arguments, unknown array or operation

// Variable service operations.
constexpr std::int32_t VariableFetch = 1;
constexpr std::int32_t VariableStore = 2;

// More elements than any test needs; larger requests are refused rather than allocated.
constexpr std::uint32_t MaximumArrayExtent = 1u << 20;

struct HostArray {
    std::vector<OwnedValue> elements;
    bool releasedByExtender = false;
    bool delivered = false; // handed to the host as a result; the host owns it from then on
    bool releasedByHost = false;

    bool Live() const { return !releasedByExtender && !releasedByHost; }
};

class HostStorage {
public:
    // Points the table's context and service entries at this storage.
    void Install(zekextender::HostServices& services);

    void FailArrayCreate() { failArrayCreate_ = true; }
    void FailArrayElement(std::int32_t index) { failElements_.push_back(index); }
    void FailVariable() { failVariable_ = true; }
    void ClearFailures();

    // Null for a handle that was never issued.
    const HostArray* FindArray(std::int32_t handle) const;

    // A result carried this array to the host.
    void MarkDelivered(std::int32_t handle);

    // The host is done with an array it holds (a result not kept, an overwritten variable).
    void ReleaseHeld(std::int32_t handle);

    // Arrays the extender created and neither released nor delivered.
    int LeakedArrays() const;

    // Release requests for arrays that do not exist (or no longer do) since the last call.
    int TakeBadReleases();

    std::int32_t ArrayService(zekextender::HostValue* value, std::uint32_t valueSize,
                              zekextender::ArrayDimensions* dimensions,
                              std::uint32_t dimensionsSize, std::int32_t operation);
    std::int32_t ElementService(zekextender::HostValue* array, const std::int32_t subscripts[5],
                                zekextender::HostValue* element, std::uint32_t valueSize,
                                std::int32_t operation);
    std::int32_t VariableService(void* first, zekextender::HostValue* value,
                                 std::uint32_t valueSize, std::int32_t operation);

private:
    HostArray* LiveArray(const zekextender::HostValue* value);

    std::map<std::int32_t, HostArray> arrays_;
    std::int32_t nextHandle_ = 1;
    std::map<void*, OwnedValue> variables_;
    bool failArrayCreate_ = false;
    bool failVariable_ = false;
    std::vector<std::int32_t> failElements_;
    int badReleases_ = 0;
};

} // namespace zekhost
