// The system module names of the Linux platform layer: what they load, and the references
// each load holds until it is freed. A small fake library takes the place of the
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

// The module's extender holds the real system modules; they are released for each test, so
// that only the fake library is in play, and bound again afterwards.
class SystemModules : public testing::Test {
protected:
    void SetUp() override {
        zekextender::PropertySystem.Unload();
        zekplatform::SetSystemModuleFile(FakeFile);
        baseline = zekplatform::LiveSystemModuleReferences();
    }
    void TearDown() override {
        EXPECT_EQ(zekplatform::LiveSystemModuleReferences(), baseline);
        zekplatform::SetSystemModuleFile("");
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

TEST_F(SystemModules, EveryLoadHoldsAReferenceUntilFreed) {
    HMODULE shell32 = Load("SHELL32.dll");
    HMODULE propsys = Load("propsys.dll");
    HMODULE propsysAgain = Load("propsys.dll");
    EXPECT_EQ(zekplatform::LiveSystemModuleReferences(), baseline + 3);
    // An export the library lacks, or any ordinal, is not found.
    for (LPCSTR name : {"NoSuchExport", reinterpret_cast<LPCSTR>(1)}) {
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(propsys, name), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    }

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

    // So is a handle that never was a module.
    int notAModule = 0;
    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&notAModule)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

} // namespace

#endif
