// The system module names of the Linux platform layer: what they load, what a test can take
// away, and the account of every load and free. A small fake library takes the place of the
// property-system library here.
#ifndef _WIN32

#include "platform/platform.h"
#include "platform/posix/SystemModules.h"
#include "platform/posix/Text.h"
#include "CraftedModules.h"
#include "properties/binding/PropertySystemApi.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

using zekplatform::ModuleEvent;

constexpr const char* FakeFile = "zek_fake_system_module.so";

std::string FakePath() {
    return zekplatform::PathFromUtf16(zektest::CraftedModulePath("zek_fake_system_module").c_str());
}

// Whether the fake library is mapped into the process at all.
bool FakeIsLoaded() {
    void* library = dlopen(FakePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library != nullptr) {
        dlclose(library);
    }
    return library != nullptr;
}

HMODULE Load(const char* name) {
    const std::u16string wide(name, name + std::strlen(name));
    return LoadLibraryW(wide.c_str());
}

int CallExport(HMODULE module, const char* name) {
    const FARPROC function = GetProcAddress(module, name);
    return function != nullptr ? static_cast<int>(function()) : -1;
}

std::string Describe(const std::vector<ModuleEvent>& events) {
    std::string text;
    for (const ModuleEvent& event : events) {
        text += event.kind == ModuleEvent::Kind::Load ? "load " : "free ";
        text += event.module + (event.succeeded ? "" : " failed") + "; ";
    }
    return text;
}

// The module's extender holds the real system modules; they are released for each test, so
// that only the fake library is in play, and bound again afterwards.
class SystemModules : public testing::Test {
protected:
    void SetUp() override {
        zekextender::PropertySystem.Unload();
        zekplatform::ClearSystemModuleHooks();
        zekplatform::SetSystemModuleFile(FakeFile);
        zekplatform::TakeModuleEvents();
        baseline = zekplatform::LiveSystemModuleReferences();
    }
    void TearDown() override {
        EXPECT_EQ(zekplatform::LiveSystemModuleReferences(), baseline);
        zekplatform::ClearSystemModuleHooks();
        zekplatform::TakeModuleEvents();
        EXPECT_EQ(zekextender::PropertySystem.Load(), 0);
    }
    int baseline = 0;
};

TEST_F(SystemModules, NamesMapToTheLibraryBesideTheProgram) {
    struct Case {
        const char* name;
        bool mapped;
    };
    constexpr Case cases[] = {
        {"shell32.dll", true},   {"PROPSYS.DLL", true},     {"Ole32.Dll", true},
        {"shell32", false},      {"propsys.dll.so", false}, {"./ole32.dll", false},
        {"kernel32.dll", false}, {"ole32.dll ", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        HMODULE module = Load(c.name);
        ASSERT_EQ(module != nullptr, c.mapped);
        if (!c.mapped) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
            continue;
        }
        EXPECT_EQ(CallExport(module, "FakeSystemModuleAnswer"), 42);
        WCHAR path[4096] = {};
        const DWORD length = GetModuleFileNameW(module, path, 4096);
        EXPECT_EQ(zekplatform::PathFromUtf16(WString(path, length).c_str()), FakePath());
        EXPECT_TRUE(FreeLibrary(module));
    }

    // Each module has its own handle, the same for every load of it, whatever the case.
    HMODULE shell32 = Load("shell32.dll");
    HMODULE propsys = Load("propsys.dll");
    HMODULE again = Load("PropSys.dll");
    EXPECT_NE(shell32, propsys);
    EXPECT_EQ(propsys, again);
    for (HMODULE module : {shell32, propsys, again}) {
        EXPECT_TRUE(FreeLibrary(module));
    }

    zekplatform::SetSystemModuleFile("zek_no_such_library.so");
    SetLastError(0);
    EXPECT_EQ(Load("propsys.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(SystemModules, TestsTakeModulesAndExportsAway) {
    struct Case {
        const char* hideModule; // null: none
        const char* hideExport; // null: none
        const char* module;
        const char* exportName;
        DWORD error; // 0: the export is found
    };
    constexpr Case cases[] = {
        {"PropSys.dll", nullptr, "propsys.dll", "FakeSystemModuleAnswer", ERROR_MOD_NOT_FOUND},
        {"propsys.dll", nullptr, "shell32.dll", "FakeSystemModuleAnswer", 0},
        {nullptr, "FakeSystemModuleAnswer", "ole32.dll", "FakeSystemModuleAnswer",
         ERROR_PROC_NOT_FOUND},
        {nullptr, "FakeSystemModuleAnswer", "ole32.dll", "FakeSystemModuleOther", 0},
        // Export names are exact, as on Windows.
        {nullptr, "fakesystemmoduleanswer", "ole32.dll", "FakeSystemModuleAnswer", 0},
        {nullptr, nullptr, "shell32.dll", "NoSuchExport", ERROR_PROC_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.module) + " " + c.exportName);
        if (c.hideModule != nullptr) {
            zekplatform::HideSystemModule(c.hideModule);
        }
        if (c.hideExport != nullptr) {
            zekplatform::HideSystemExport(c.hideExport);
        }
        SetLastError(0);
        HMODULE module = Load(c.module);
        if (c.error == ERROR_MOD_NOT_FOUND) {
            EXPECT_EQ(module, nullptr);
            EXPECT_EQ(GetLastError(), c.error);
        } else {
            ASSERT_NE(module, nullptr);
            const FARPROC function = GetProcAddress(module, c.exportName);
            EXPECT_EQ(function == nullptr, c.error != 0);
            EXPECT_EQ(GetLastError(), c.error);
            FreeLibrary(module);
        }

        // Cleared, everything is there again.
        zekplatform::ClearSystemModuleHooks();
        zekplatform::SetSystemModuleFile(FakeFile);
        module = Load(c.module);
        ASSERT_NE(module, nullptr);
        EXPECT_NE(GetProcAddress(module, "FakeSystemModuleAnswer"), nullptr);
        FreeLibrary(module);
    }
}

TEST_F(SystemModules, EveryLoadAndFreeIsRecordedAndCounted) {
    HMODULE shell32 = Load("SHELL32.dll");
    HMODULE propsys = Load("propsys.dll");
    HMODULE propsysAgain = Load("propsys.dll");
    zekplatform::HideSystemModule("ole32.dll");
    EXPECT_EQ(Load("ole32.dll"), nullptr);
    EXPECT_EQ(zekplatform::LiveSystemModuleReferences(), baseline + 3);

    EXPECT_TRUE(FreeLibrary(shell32));
    EXPECT_TRUE(FreeLibrary(propsys));
    // One reference is left, and the library with it.
    EXPECT_TRUE(FakeIsLoaded());
    EXPECT_EQ(CallExport(propsys, "FakeSystemModuleAnswer"), 42);
    EXPECT_TRUE(FreeLibrary(propsysAgain));
    EXPECT_FALSE(FakeIsLoaded());

    // Once its references are gone, a handle is refused like any stale one.
    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(shell32));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(propsys, "FakeSystemModuleAnswer"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    const std::vector<ModuleEvent> events = zekplatform::TakeModuleEvents();
    EXPECT_EQ(Describe(events), "load shell32.dll; load propsys.dll; load propsys.dll; "
                                "load ole32.dll failed; free shell32.dll; free propsys.dll; "
                                "free propsys.dll; free shell32.dll failed; ");
    ASSERT_EQ(events.size(), 8u);
    const HMODULE handles[] = {shell32, propsys, propsys, nullptr,
                               shell32, propsys, propsys, shell32};
    for (std::size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].handle, handles[i]);
    }
    EXPECT_TRUE(zekplatform::TakeModuleEvents().empty());
}

TEST_F(SystemModules, OtherModulesAreRecordedByName) {
    const WString path = zektest::CraftedModulePath("crafted_version_none");
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(FreeLibrary(module));
    int notAModule = 0;
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&notAModule)));

    const std::vector<ModuleEvent> events = zekplatform::TakeModuleEvents();
    ASSERT_EQ(events.size(), 3u);
    const std::string name = zekplatform::PathFromUtf16(path.c_str());
    EXPECT_EQ(Describe(events), "load " + name + "; free " + name + "; free  failed; ");
    EXPECT_EQ(zekplatform::LiveSystemModuleReferences(), baseline);
}

// The layer's own OLE functions hold the library for the process, out of the tests' sight.
TEST_F(SystemModules, OleFunctionsLeaveNoTrace) {
    EXPECT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    for (std::size_t size : {1u, 64u, 4096u}) {
        auto* memory = static_cast<unsigned char*>(CoTaskMemAlloc(size));
        ASSERT_NE(memory, nullptr);
        std::memset(memory, 0xA5, size);
        CoTaskMemFree(memory);
    }
    CoTaskMemFree(nullptr);
    OleUninitialize();
    EXPECT_TRUE(zekplatform::TakeModuleEvents().empty());
    EXPECT_EQ(zekplatform::LiveSystemModuleReferences(), baseline);
}

} // namespace

#endif
