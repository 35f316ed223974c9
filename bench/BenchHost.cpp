#include "bench/BenchHost.h"

#include "standin/StandinControl.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#ifndef _WIN32
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace zekbench {
namespace {

using namespace zekextender;

// The host's side of a result: looked at, nothing kept.
std::int32_t Receive(std::int32_t resultCode, std::uint32_t, HostServices*, HostValue* result) {
    return resultCode == 0 ? static_cast<std::int32_t>(result->type) : resultCode;
}

// Arrays as a host that stores nothing: creation marks the value, elements are accepted.
std::int32_t ArrayService(void*, HostValue* value, std::uint32_t, ArrayDimensions* dimensions,
                          std::uint32_t, std::int32_t operation) {
    if (operation == ArrayCreate) {
        value->type = HostValueArray;
        value->intValue = static_cast<std::int32_t>(dimensions->extent[0]);
    } else if (operation == ArrayRelease) {
        value->type = HostValueNone;
    }
    return 0;
}

std::int32_t ArrayElementService(void*, HostValue*, std::int32_t, std::int32_t, std::int32_t,
                                 std::int32_t, std::int32_t, HostValue* element, std::uint32_t,
                                 std::int32_t) {
    return element->text != nullptr ? 0 : 1;
}

std::int32_t VariableService(void*, void*, HostValue*, std::uint32_t, std::int32_t) {
    return 0;
}

#ifdef _WIN32

void* Open(const char* name) {
    return LoadLibraryA(name);
}
void* Symbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
const char* const ExtenderFile = "zxvto38r.dll";

#else

std::string ProgramFolder() {
    std::vector<char> path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    std::string folder(path.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
    return folder.substr(0, folder.rfind('/'));
}
// Beside the program, where the extender's platform layer finds the same stand-in.
void* Open(const char* name) {
    return dlopen((ProgramFolder() + "/" + name).c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* Symbol(void* library, const char* name) {
    return dlsym(library, name);
}
const char* const ExtenderFile = "libzxvto38r.so";

#endif

template <typename Fn> bool Resolve(void* library, const char* name, Fn& fn) {
    fn = library != nullptr ? reinterpret_cast<Fn>(Symbol(library, name)) : nullptr;
    return fn != nullptr;
}

} // namespace

bool BenchHost::Load(std::string& error) {
    void* extender = Open(ExtenderFile);
    if (!Resolve(extender, "ZEKExtenderQueryW", queryW_) ||
        !Resolve(extender, "ZEKExtender2W", extender2W_)) {
        error = std::string("cannot load ") + ExtenderFile;
        return false;
    }
#ifdef _WIN32
    void* propsys = Open("propsys.dll");
    void* shell32 = Open("shell32.dll");
    void* ole32 = Open("ole32.dll");
#else
    void* propsys = Open("libzekpropsys.so");
    void* shell32 = propsys;
    void* ole32 = propsys;
#endif
    control_ = propsys != nullptr ? Symbol(propsys, ZEK_STANDIN_CONTROL_EXPORT) : nullptr;
    if (control_ == nullptr ||
        !Resolve(shell32, "SHGetPropertyStoreFromParsingName", calls_.openStore) ||
        !Resolve(propsys, "PSGetPropertyKeyFromName", calls_.keyFromName) ||
        !Resolve(propsys, "PSGetNameFromPropertyKey", calls_.nameFromKey) ||
        !Resolve(propsys, "PSFormatForDisplayAlloc", calls_.formatForDisplayAlloc) ||
        !Resolve(ole32, "PropVariantClear", calls_.propVariantClear) ||
        !Resolve(ole32, "CoTaskMemFree", calls_.taskMemFree)) {
        error = "cannot load the stand-in property system (under Wine: "
                "WINEDLLOVERRIDES=propsys,shell32=n)";
        return false;
    }

    callback_ = &Receive;
    services_.interfaceVersion = MinimumHostVersion;
    services_.variableService = &VariableService;
    services_.arrayService = &ArrayService;
    services_.arrayElementService = &ArrayElementService;

    // The handshake of a host: interface version, information, the functions by name.
    std::uint32_t offered = ExtenderInterfaceVersion;
    WCHAR description[64];
    if (queryW_(QueryInterfaceVersion, reinterpret_cast<INT_PTR>(&offered), 1) !=
            static_cast<std::int32_t>(ExtenderInterfaceVersion) ||
        queryW_(QueryExtenderInfo, reinterpret_cast<INT_PTR>(description), 64) == 0) {
        error = "the extender refused the handshake";
        return false;
    }
    WCHAR refusal[64];
    const std::int32_t count =
        extender2W_(0, 0, 0, RequestFunctionCount, callback_, &services_, 0, refusal, 0, &result_);
    for (std::int32_t index = 0; index < count; ++index) {
        FunctionDefinition definition{};
        extender2W_(0, 0, 0, RequestFunctionDefinition, callback_, &services_, 0, &definition,
                    static_cast<std::uint32_t>(index), &result_);
        std::string name;
        for (const WCHAR* unit = definition.name; *unit != 0; ++unit) {
            name += static_cast<char>(*unit);
        }
        ids_[name] = static_cast<std::int16_t>(definition.id);
    }
    return !ids_.empty();
}

std::int16_t BenchHost::Id(const char* name) const {
    std::string lower(name);
    for (char& c : lower) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    const auto found = ids_.find(lower);
    if (found == ids_.end()) {
        std::fprintf(stderr, "the extender has no function %s\n", name);
        std::exit(1);
    }
    return found->second;
}

std::string BenchHost::Standin(const std::string& command) {
    std::vector<char> reply(4096, '\0');
    const std::int32_t status = reinterpret_cast<ZekStandinControlFn>(control_)(
        command.c_str(), reply.data(), static_cast<std::uint32_t>(reply.size()));
    if (status != 0) {
        std::fprintf(stderr, "the stand-in refused '%.60s': %s\n", command.c_str(), reply.data());
        std::exit(1);
    }
    return reply.data();
}

HostValue IntegerValue(std::int32_t value) {
    HostValue record{};
    record.type = HostValueInteger;
    record.intValue = value;
    return record;
}

HostValue StringValue(const WCHAR* text) {
    HostValue record{};
    record.type = HostValueWideString;
    record.text = const_cast<WCHAR*>(text);
    return record;
}

} // namespace zekbench
