// The cases: each script function through ZEKExtender2W, beside the bare calls it makes.
#include "bench/Cases.h"

#include "bench/AllocationCount.h"
#include "bench/BenchHost.h"
#include "bench/Report.h"
#include "status/NativeErrorTranslation.h"

#include <benchmark/benchmark.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define RUNNING_ON_VALGRIND 0
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(label)
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace zekbench {
namespace {

using namespace zekextender;

BenchHost* host = nullptr;

// The store of the value and store cases: a photo's usual properties.
const WCHAR* const PhotoItem = U16("C:\\photos\\IMG_0001.jpg");
const char* const PhotoDeclaration =
    "item \"C:\\photos\\IMG_0001.jpg\" System.ItemNameDisplay=lpwstr:IMG_0001.jpg "
    "System.FileName=lpwstr:IMG_0001.jpg System.FileExtension=lpwstr:.jpg "
    "System.Size=ui8:2480133 System.DateModified=filetime:2024-01-31T14:05:09Z "
    "System.Title=lpwstr:\"Harbour at dawn\" System.Keywords=strings:\"sea\",\"boats\" "
    "System.Rating=ui4:75";

constexpr std::int64_t NameCounts[] = {10, 1000, 10000};
constexpr std::int64_t StoreCounts[] = {10, 1000, 10000, 100000};

// Handles the cases rely on; the store cases open and close above them.
std::int32_t photoHandle = 0;
std::int32_t namesHandle[3] = {};
std::vector<WString> names[3]; // each listing's names, in listed order
IPropertyStore* barePhotoStore = nullptr;

// Heap allocations per iteration of the state's loop, reported with the case.
class AllocationMeter {
public:
    AllocationMeter() : start_(AllocationCount()) {}
    void Report(benchmark::State& state) const {
        state.counters["allocs"] = benchmark::Counter(
            static_cast<double>(AllocationCount() - start_) /
            static_cast<double>(state.iterations() > 0 ? state.iterations() : 1));
    }

private:
    std::uint64_t start_;
};

std::int32_t CallOrExit(std::int16_t id, HostValue* arguments) {
    host->Call(id, arguments);
    if (host->Result().type != HostValueInteger) {
        std::fprintf(stderr, "a set-up call failed\n");
        std::exit(1);
    }
    return host->Result().intValue;
}

std::int32_t OpenPhoto() {
    HostValue arguments[] = {StringValue(PhotoItem), IntegerValue(0)};
    return CallOrExit(host->Id("vtoOpenPS"), arguments);
}

void Close(std::int32_t handle) {
    HostValue arguments[] = {IntegerValue(handle)};
    CallOrExit(host->Id("vtoClosePS"), arguments);
}

WString Wide(const std::string& text) {
    return WString(text.begin(), text.end());
}

// An item with count properties of their own names ("Bench.Name00001" ...), declared once.
std::string DeclareNames(std::int64_t count, std::vector<WString>& listed) {
    const std::string item = "bench-names-" + std::to_string(count);
    std::string declaration = "item " + item;
    for (std::int64_t i = 1; i <= count; ++i) {
        char name[32];
        char key[64];
        std::snprintf(name, sizeof name, "Bench.Name%05lld", static_cast<long long>(i));
        std::snprintf(key, sizeof key, "{B0A5C0DE-0000-4000-8000-000000000001},%lld",
                      static_cast<long long>(i + 1));
        static std::int64_t named = 0; // keys named so far: every listing shares them
        if (i > named) {
            host->Standin(std::string("name ") + key + " " + name);
            named = i;
        }
        declaration += std::string(" ") + key + "=lpwstr:x";
        listed.push_back(Wide(name)); // zero-padded: declared order is the listed order
    }
    host->Standin(declaration);
    return item;
}

// A listing's item declared and opened when a case first needs it: declaring 10 000 names is
// most of a run's set-up, which a run of the smaller cases alone (under callgrind) need not pay.
void PrepareListing(int listing) {
    if (namesHandle[listing] != 0) {
        return;
    }
    const WString item = Wide(DeclareNames(NameCounts[listing], names[listing]));
    HostValue arguments[] = {StringValue(item.c_str()), IntegerValue(0)};
    namesHandle[listing] = CallOrExit(host->Id("vtoOpenPS"), arguments);
}

// The bare calls of an open: the store, its keys and their names.
IPropertyStore* BareOpen(const WCHAR* parsingName) {
    const PropertySystemCalls& system = host->PropertySystem();
    IPropertyStore* store = nullptr;
    system.openStore(parsingName, nullptr, GPS_DEFAULT, PropertyStoreId(),
                     reinterpret_cast<void**>(&store));
    DWORD count = 0;
    store->GetCount(&count);
    for (DWORD i = 0; i < count; ++i) {
        PROPERTYKEY key;
        store->GetAt(i, &key);
        PWSTR name = nullptr;
        system.nameFromKey(key, &name);
        system.taskMemFree(name);
    }
    return store;
}

// The stores the store cases run with: exactly count open, the fixed ones (the photo and the
// listings prepared so far) among them.
std::vector<std::int32_t> extraHandles;
void KeepStoresOpen(std::int64_t count) {
    const std::int64_t fixed = 1 + std::count_if(std::begin(namesHandle), std::end(namesHandle),
                                                 [](std::int32_t handle) { return handle != 0; });
    while (static_cast<std::int64_t>(extraHandles.size()) + fixed < count) {
        extraHandles.push_back(OpenPhoto());
    }
    while (!extraHandles.empty() &&
           static_cast<std::int64_t>(extraHandles.size()) + fixed > count) {
        Close(extraHandles.back());
        extraHandles.pop_back();
    }
}

// A fixed pseudo-random sequence (xorshift), the same in every run.
std::uint32_t NextRandom() {
    static std::uint32_t state = 2463534242u;
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// The case running now, for the instruction counts of a run under callgrind.
std::string runningCase;

void Register(const std::string& name, std::function<void(benchmark::State&)> run) {
    benchmark::RegisterBenchmark(name.c_str(), [name, run](benchmark::State& state) {
        runningCase = name;
        run(state);
    });
}

// Runs the case's calls; under callgrind the instructions of the loop alone are dumped as
// "case@iterations" (scripts/bench-instructions.sh).
template <typename Call> void Loop(benchmark::State& state, Call call) {
    const AllocationMeter meter;
    if (RUNNING_ON_VALGRIND) {
        CALLGRIND_ZERO_STATS;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(call());
    }
    meter.Report(state);
    if (RUNNING_ON_VALGRIND) {
        const std::string label = runningCase + "@" + std::to_string(state.iterations());
        CALLGRIND_DUMP_STATS_AT(label.c_str());
    }
}

// --- The cases ---

void BareCallback(benchmark::State& state) {
    Loop(state, [] { return host->BareCallback(); });
}

// The least an entry point can do: answer an integer through the callback at once.
std::int32_t Trampoline(INT_PTR, INT_PTR, std::uint32_t cookie, std::int16_t,
                        ReturnCallback callback, HostServices* services, INT_PTR, void*,
                        std::uint32_t, HostValue* result) {
    result->type = HostValueInteger;
    result->intValue = 0;
    return callback(0, cookie, services, result);
}

void BareTrampoline(benchmark::State& state) {
    ZEKExtender2WFn entry = &Trampoline;
    Loop(state, [&entry] {
        benchmark::DoNotOptimize(entry); // called through its pointer, as the host does
        return host->CallThrough(entry, 0, nullptr);
    });
}

template <const char* Function> void NoArguments(benchmark::State& state) {
    const std::int16_t id = host->Id(Function);
    Loop(state, [id] { return host->Call(id, nullptr); });
}

constexpr char Version[] = "vtoVersion";
constexpr char IsDebugBuild[] = "vtoIsDebugBuild";

void IsPSValid(benchmark::State& state) {
    const std::int16_t id = host->Id("vtoIsPSValid");
    HostValue arguments[] = {IntegerValue(photoHandle)};
    Loop(state, [&] { return host->Call(id, arguments); });
}

void ErrorResult(benchmark::State& state) {
    const std::int16_t id = host->Id("vtoIsPSDirty");
    HostValue arguments[] = {IntegerValue(0x7FFF0000)}; // never issued
    Loop(state, [&] { return host->Call(id, arguments); });
}

template <std::int32_t Code> void ErrorText(benchmark::State& state) {
    const std::int16_t id = host->Id("vtoGetErrorText");
    HostValue arguments[] = {IntegerValue(Code)};
    Loop(state, [&] { return host->Call(id, arguments); });
}

const WCHAR* const TitleName = U16("System.Title");

void GetPropertyValue(benchmark::State& state) {
    const std::int16_t id = host->Id("vtoGetPropertyValue");
    HostValue arguments[] = {IntegerValue(photoHandle), StringValue(TitleName), IntegerValue(0)};
    Loop(state, [&] { return host->Call(id, arguments); });
}

void BareGetPropertyValue(benchmark::State& state) {
    const PropertySystemCalls& system = host->PropertySystem();
    Loop(state, [&] {
        PROPERTYKEY key;
        system.keyFromName(TitleName, &key);
        PROPVARIANT value;
        std::memset(&value, 0, sizeof value);
        barePhotoStore->GetValue(key, &value);
        PWSTR text = nullptr;
        system.formatForDisplayAlloc(key, value, PDFF_DEFAULT, &text);
        HostValue& result = host->Result();
        result.type = HostValueWideString;
        result.text = text;
        const std::int32_t answer = host->BareCallback();
        system.taskMemFree(text);
        system.propVariantClear(&value);
        return answer;
    });
}

void GetPropertyNames(benchmark::State& state, int listing, std::int32_t mode) {
    const std::int16_t id = host->Id("vtoGetPropertyNames");
    PrepareListing(listing);
    HostValue arguments[] = {IntegerValue(namesHandle[listing]), IntegerValue(mode)};
    Loop(state, [&] { return host->Call(id, arguments); });
}

// The names joined by TABs into a buffer kept between calls, handed to the callback.
void BareNamesText(benchmark::State& state, int listing) {
    PrepareListing(listing);
    const std::vector<WString>& listed = names[listing];
    WString text;
    Loop(state, [&] {
        text.clear();
        for (const WString& name : listed) {
            text += name;
            text += U16('\t');
        }
        text.pop_back();
        host->Result().type = HostValueWideString;
        host->Result().text = &text[0];
        return host->BareCallback();
    });
}

// An array created, one element stored per name, handed to the callback.
void BareNamesArray(benchmark::State& state, int listing) {
    PrepareListing(listing);
    const std::vector<WString>& listed = names[listing];
    HostServices& services = host->Services();
    Loop(state, [&] {
        HostValue array{};
        ArrayDimensions dimensions = {{static_cast<std::uint32_t>(listed.size()), 0, 0, 0, 0}};
        services.arrayService(services.context, &array, HostValueSize, &dimensions,
                              sizeof dimensions, ArrayCreate);
        std::int32_t index = 0;
        for (const WString& name : listed) {
            HostValue element{};
            element.type = HostValueWideString;
            element.text = const_cast<WCHAR*>(name.c_str());
            services.arrayElementService(services.context, &array, index++, 0, 0, 0, 0, &element,
                                         HostValueSize, ArrayElementStore);
        }
        host->Result() = array;
        return host->BareCallback();
    });
}

// A store opened above the others and closed again.
void OpenClose(benchmark::State& state, std::int64_t stores) {
    KeepStoresOpen(stores);
    const std::int16_t close = host->Id("vtoClosePS");
    Loop(state, [&] {
        HostValue handle[] = {IntegerValue(OpenPhoto())};
        return host->Call(close, handle);
    });
}

// A random store closed and opened again in its place.
void CloseRandomReopen(benchmark::State& state, std::int64_t stores) {
    KeepStoresOpen(stores);
    const std::int16_t close = host->Id("vtoClosePS");
    const std::uint32_t spread = static_cast<std::uint32_t>(extraHandles.size());
    Loop(state, [&] {
        HostValue handle[] = {IntegerValue(extraHandles[NextRandom() % spread])};
        host->Call(close, handle);
        return OpenPhoto();
    });
}

void BareOpenClose(benchmark::State& state) {
    Loop(state, [] {
        IPropertyStore* store = BareOpen(PhotoItem);
        host->Result() = IntegerValue(1);
        host->BareCallback();
        const ULONG references = store->Release();
        host->BareCallback();
        return references;
    });
}

// The translation wrappers, each over a few listed and unlisted values.
template <StatusCode (*Translate)(std::uint32_t) noexcept, std::uint32_t... Values>
void Translation(benchmark::State& state) {
    const std::uint32_t values[] = {Values...};
    std::size_t next = 0;
    Loop(state, [&] {
        std::uint32_t value = values[next++ % sizeof...(Values)];
        benchmark::DoNotOptimize(value);
        return Translate(value);
    });
}

void TranslateNative(benchmark::State& state) {
    Loop(state, [] {
        std::uint32_t value = 0x80070002;
        benchmark::DoNotOptimize(value);
        return TranslateNativeError(ErrorSource::HResult, value, false);
    });
}

// The extender's own heap per open store: the heap grown by count stores opened through the
// extender, less the heap grown by the same stores opened bare and held.
void MeasureStoreMemory(std::int32_t count) {
    if (HeapBytesInUse() == 0) {
        AddNote("Memory per open store: not measured on this platform.");
        return;
    }
    std::vector<IPropertyStore*> held;
    held.reserve(static_cast<std::size_t>(count));
    std::vector<std::int32_t> handles;
    handles.reserve(static_cast<std::size_t>(count));
    Close(OpenPhoto()); // lazily built state does not count
    BareOpen(PhotoItem)->Release();

    std::uint64_t before = HeapBytesInUse();
    for (std::int32_t i = 0; i < count; ++i) {
        held.push_back(BareOpen(PhotoItem));
    }
    const double bare = static_cast<double>(HeapBytesInUse() - before);
    for (IPropertyStore* store : held) {
        store->Release();
    }
    before = HeapBytesInUse();
    for (std::int32_t i = 0; i < count; ++i) {
        handles.push_back(OpenPhoto());
    }
    const double opened = static_cast<double>(HeapBytesInUse() - before);
    for (std::int32_t handle : handles) {
        Close(handle);
    }
    char note[400];
    std::snprintf(note, sizeof note,
                  "Memory per open store (%d stores of an item with 8 properties, heap in use "
                  "after opening them): through the extender %.0f bytes, the property system's "
                  "own (opened bare and held) %.0f bytes, the extender's own %.0f bytes.",
                  count, opened / count, bare / count, (opened - bare) / count);
    AddNote(note);
}

} // namespace

const IID& PropertyStoreId() {
    static const IID id = {
        0x886D8EEB, 0x8CF2, 0x4446, {0x8D, 0x02, 0xCD, 0xBA, 0x1D, 0xBD, 0xCF, 0x99}};
    return id;
}

bool PrepareCases(BenchHost& loaded, bool measureMemory) {
    host = &loaded;
    host->Standin(PhotoDeclaration);
    photoHandle = OpenPhoto();
    barePhotoStore = BareOpen(PhotoItem);
    if (measureMemory) {
        MeasureStoreMemory(100000);
    }
    return true;
}

void RegisterCases() {
    Register("bare:callback", BareCallback);
    Register("bare:trampoline", BareTrampoline);
    Register("vtoVersion", NoArguments<Version>);
    Register("vtoIsDebugBuild", NoArguments<IsDebugBuild>);
    Register("vtoIsPSValid", IsPSValid);
    Register("error:bad-handle", ErrorResult);
    Register("vtoGetErrorText:9", ErrorText<9>);
    Register("vtoGetErrorText:903", ErrorText<903>);
    CompareWith("bare:trampoline", "bare:callback", 0);
    for (const char* name : {"vtoVersion", "vtoIsDebugBuild", "vtoIsPSValid"}) {
        CompareWith(name, "bare:callback", 2.0);
    }
    for (const char* name : {"error:bad-handle", "vtoGetErrorText:9", "vtoGetErrorText:903"}) {
        CompareWith(name, "bare:callback", 0);
    }

    Register("vtoGetPropertyValue", GetPropertyValue);
    Register("bare:GetPropertyValue", BareGetPropertyValue);
    CompareWith("vtoGetPropertyValue", "bare:GetPropertyValue", 1.15);

    for (int listing = 0; listing < 3; ++listing) {
        const std::string count = "/" + std::to_string(NameCounts[listing]);
        using namespace std::placeholders;
        Register("vtoGetPropertyNames:text" + count, std::bind(GetPropertyNames, _1, listing, 0));
        Register("bare:names-text" + count, std::bind(BareNamesText, _1, listing));
        Register("vtoGetPropertyNames:array" + count, std::bind(GetPropertyNames, _1, listing, 1));
        Register("bare:names-array" + count, std::bind(BareNamesArray, _1, listing));
        CompareWith("vtoGetPropertyNames:text" + count, "bare:names-text" + count, 0);
        CompareWith("vtoGetPropertyNames:array" + count, "bare:names-array" + count, 0);
    }

    Register("bare:open+close", BareOpenClose);
    for (std::int64_t stores : StoreCounts) {
        const std::string count = "/" + std::to_string(stores);
        using namespace std::placeholders;
        Register("open+close" + count, std::bind(OpenClose, _1, stores));
        Register("close-random+reopen" + count, std::bind(CloseRandomReopen, _1, stores));
    }
    for (std::int64_t stores : StoreCounts) {
        CompareWith("open+close/" + std::to_string(stores), "bare:open+close", 0);
    }
    for (const char* name : {"open+close", "close-random+reopen"}) {
        const std::string family(name);
        CompareWith(family + "/100000", family + "/1000", 1.5);
        CompareWith(family + "/10000", family + "/1000", 0);
    }

    Register("StatusFromWin32Error", Translation<StatusFromWin32Error, 2, 5, 2221, 99999>);
    Register("StatusFromHResult",
             Translation<StatusFromHResult, 0x80070002, 0x80004005, 0x80020009, 0x800708AD>);
    Register("StatusFromNetApiStatus", Translation<StatusFromNetApiStatus, 2221, 5, 2102, 77777>);
    Register("StatusFromNtStatus", Translation<StatusFromNtStatus, 0, 0xC0000034, 0xC0000022>);
    Register("StatusFromErrno", Translation<StatusFromErrno, 2, 4, 13, 99>);
    Register("StatusFromNtStatusTable",
             Translation<StatusFromNtStatusTable, 0xC000003A, 0xC00002EE, 0xC0000305, 0xC0000001>);
    Register("TranslateNativeError", TranslateNative);
}

} // namespace zekbench
