#include "fuzz/FuzzHost.h"

#include "extender/Exports.h"
#include "host/Handshake.h"
#include "host/SystemIo.h"
#include "standin/StandinControl.h"

#include <dlfcn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

namespace zekfuzz {
namespace {

using zekextender::HostServices;
using zekextender::HostValue;
using zekextender::ReturnCallback;

ReturnCallback hostCallback = nullptr;
int deliveries = 0;
std::int16_t callingId = 0;
std::uint32_t highestHandle = 0;
std::int32_t declaredFunctions = -1; // known once the handshake is done
std::int16_t openId = -100;          // likewise

// The scratch folder: ZEK_FUZZ_SCRATCH when set (the tests give one in the build folder, where
// even a run that crashes leaves nothing behind elsewhere), otherwise a fresh temporary folder,
// removed when the run ends.
std::string ScratchFolder() {
    if (const char* given = std::getenv("ZEK_FUZZ_SCRATCH"); given != nullptr && *given != 0) {
        if (mkdir(given, 0700) != 0 && errno != EEXIST) {
            Fail(std::string("no scratch folder: ") + given);
        }
        return given;
    }
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern =
        std::string(temporary && *temporary ? temporary : "/tmp") + "/zek-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        Fail("no scratch folder");
    }
    static std::string made;
    made = pattern;
    std::atexit([] {
        std::remove((made + "/item.txt").c_str());
        rmdir(made.c_str());
    });
    return pattern;
}

// Real files outside a scratch folder are never touched: an open of an absolute path opens
// one scratch file instead, so that writes and commits land there.
void KeepToScratch(std::int16_t functionId, void* data) {
    static const WString scratch = [] {
        const std::string file = ScratchFolder() + "/item.txt";
        if (std::FILE* stream = std::fopen(file.c_str(), "w")) {
            std::fclose(stream);
        }
        return WString(file.begin(), file.end());
    }();
    if (data == nullptr || functionId != openId) {
        return;
    }
    auto* spec = static_cast<HostValue*>(data);
    const auto* text = static_cast<const WCHAR*>(spec->text);
    if ((spec->type & zekextender::HostValueWideString) != 0 && text != nullptr &&
        text[0] == u'/') {
        spec->text = const_cast<WCHAR*>(scratch.c_str());
    }
}

std::int32_t CountingCallback(std::int32_t resultCode, std::uint32_t cookie, HostServices* services,
                              HostValue* result) {
    ++deliveries;
    if (deliveries > 1) {
        Fail("a second result was delivered within one call");
    }
    // A store handle issued by an open: an integer result of the open function.
    if (resultCode == 0 && result != nullptr && result->type == zekextender::HostValueInteger &&
        callingId == openId && result->intValue > 0) {
        const auto handle = static_cast<std::uint32_t>(result->intValue);
        highestHandle = handle > highestHandle ? handle : highestHandle;
    }
    return hostCallback(resultCode, cookie, services, result);
}

std::int32_t CheckedQuery(std::int16_t query, INT_PTR first, INT_PTR second) {
    try {
        return ZEKExtenderQueryW(query, first, second);
    } catch (...) {
        Fail("an exception left ZEKExtenderQueryW");
    }
}

std::int32_t CheckedCall(INT_PTR hostParam1, INT_PTR hostParam2, std::uint32_t callCookie,
                         std::int16_t functionId, ReturnCallback returnCallback,
                         HostServices* hostServices, INT_PTR hostParam3, void* data,
                         std::uint32_t index, HostValue* result) {
    hostCallback = returnCallback;
    deliveries = 0;
    callingId = functionId;
    KeepToScratch(functionId, data);
    std::int32_t returned = 0;
    try {
        returned = ZEKExtender2W(hostParam1, hostParam2, callCookie, functionId, &CountingCallback,
                                 hostServices, hostParam3, data, index, result);
    } catch (...) {
        Fail("an exception left ZEKExtender2W");
    }
    // A function answers exactly once; special requests and ids outside the table never
    // through the callback.
    const bool namesFunction = functionId >= 0 && functionId < declaredFunctions;
    if (declaredFunctions >= 0 && deliveries != (namesFunction ? 1 : 0)) {
        Fail("function id " + std::to_string(functionId) + " delivered " +
             std::to_string(deliveries) + " results");
    }
    return returned;
}

ZekStandinControlFn Control() {
    static const ZekStandinControlFn control = [] {
        const std::string path = zekhost::ProgramDirectory() + "/libzekpropsys.so";
        void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        void* symbol = library ? dlsym(library, ZEK_STANDIN_CONTROL_EXPORT) : nullptr;
        if (symbol == nullptr) {
            Fail("the stand-in property system is not beside the program: " + path);
        }
        return reinterpret_cast<ZekStandinControlFn>(symbol);
    }();
    return control;
}

} // namespace

const zekhost::HandshakeResult& Handshake() {
    static const zekhost::HandshakeResult handshake = [] {
        zekhost::HostSession session(CheckedApi(), zekextender::MinimumHostVersion);
        zekhost::HandshakeResult result =
            zekhost::PerformHandshake(session, {zekextender::ExtenderInterfaceVersion});
        std::int16_t id = 0;
        std::uint32_t count = 0;
        if (zekhost::FindFunction(result, "vtoOpenPS", id, count)) {
            openId = id;
        }
        declaredFunctions = result.functionCount;
        return result;
    }();
    return handshake;
}

void Fail(const std::string& message, const std::string& context) {
    std::fprintf(stderr, "finding: %s\n%s\n", message.c_str(), context.c_str());
    std::fflush(stderr);
    std::abort();
}

bool Standin::Send(const std::string& command, std::int32_t& status, std::string& reply) {
    static std::vector<char> buffer(1 << 16);
    status = Control()(command.c_str(), buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    reply = buffer.data();
    return true;
}

std::string Standin::Must(const std::string& command) {
    std::int32_t status = 0;
    std::string reply;
    Send(command, status, reply);
    if (status != 0) {
        Fail("the stand-in refused \"" + command + "\": " + reply);
    }
    return reply;
}

Standin& TheStandin() {
    static Standin standin;
    return standin;
}

const zekhost::ExtenderApi& CheckedApi() {
    static const zekhost::ExtenderApi api{&CheckedQuery, &CheckedCall};
    return api;
}

int DeliveriesOfLastCall() {
    return deliveries;
}

std::uint32_t HighestIssuedHandle() {
    return highestHandle;
}

void ForgetIssuedHandles() {
    highestHandle = 0;
}

std::int16_t FunctionId(const char* name) {
    // Looked up once per name: the targets call by name many times per input.
    static std::map<std::string, std::int16_t> ids;
    const auto known = ids.find(name);
    if (known != ids.end()) {
        return known->second;
    }
    std::int16_t id = -1;
    std::uint32_t count = 0;
    if (!zekhost::FindFunction(Handshake(), name, id, count)) {
        Fail(std::string("the extender declares no ") + name);
    }
    ids.emplace(name, id);
    return id;
}

std::int32_t FunctionCount() {
    return Handshake().functionCount;
}

HostValue IntegerValue(std::int32_t value) {
    HostValue record{};
    record.type = zekextender::HostValueInteger;
    record.intValue = value;
    return record;
}

HostValue TextValue(const WCHAR* text) {
    HostValue record{};
    record.type = zekextender::HostValueWideString;
    record.text = const_cast<WCHAR*>(text);
    return record;
}

zekhost::CallOutcome CallFunction(zekhost::HostSession& session, std::int16_t id,
                                  const HostValue* arguments, std::size_t count) {
    HostValue records[16] = {};
    for (std::size_t i = 0; i < count && i < 16; ++i) {
        records[i] = arguments[i];
    }
    zekhost::CallOutcome outcome = session.Send(id, records, 0);
    for (const zekhost::Delivery& delivery : outcome.deliveries) {
        if (!delivery.nullResult && delivery.value.IsArray()) {
            session.Storage().MarkDelivered(delivery.value.integer);
            session.Storage().ReleaseHeld(delivery.value.integer);
        }
    }
    return outcome;
}

void EndInput(zekhost::HostSession& session) {
    // Handles are issued smallest-free, so none lies above the highest ever issued.
    const std::int16_t close = FunctionId("vtoClosePS");
    for (std::uint32_t handle = 1; handle <= HighestIssuedHandle(); ++handle) {
        const HostValue argument = IntegerValue(static_cast<std::int32_t>(handle));
        CallFunction(session, close, &argument, 1);
    }
    ForgetIssuedHandles();
    const std::int16_t valid = FunctionId("vtoIsPSValid");
    const HostValue first = IntegerValue(1);
    const zekhost::CallOutcome probe = CallFunction(session, valid, &first, 1);
    if (probe.deliveries.size() != 1 || probe.deliveries[0].value.integer != 0) {
        Fail("handle 1 is still valid after every handle was closed");
    }
    if (session.Storage().LeakedArrays() > 0) {
        Fail("the extender left host arrays neither released nor delivered");
    }
    Standin& standin = TheStandin();
    std::int32_t status = 0;
    std::string reply;
    standin.Send("check", status, reply);
    if (status != 0) {
        Fail("the stand-in's accounts do not balance after the input: " + reply);
    }
    standin.Must("reset");
    standin.Must("drop-shells");
}

} // namespace zekfuzz
