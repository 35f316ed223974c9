// The stand-in property system, reached through its exports as the extender reaches it, and a
// fixture that resets it before each test and asserts afterwards that nothing obtained from
// it was left behind. Off Windows it is libzekpropsys.so beside this program; on Windows the
// stand-in propsys.dll beside it (shell32's entry point comes from the stand-in shell32.dll
// when the process loads that one, else from propsys.dll's internal export).
#pragma once

#include "platform/platform.h"
#include "standin/Keys.h"
#include "standin/StandinControl.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <filesystem>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace standin_test {

using OpenFn = HRESULT (*)(PCWSTR, IBindCtx*, GETPROPERTYSTOREFLAGS, REFIID, void**);

struct StandinLibrary {
    OpenFn open = nullptr;
    decltype(&::PSFormatForDisplayAlloc) formatForDisplayAlloc = nullptr;
    decltype(&::PSGetPropertyKeyFromName) keyFromName = nullptr;
    decltype(&::PSGetNameFromPropertyKey) nameFromKey = nullptr;
    decltype(&::PSCoerceToCanonicalValue) coerce = nullptr;
    decltype(&::PSGetPropertyDescription) description = nullptr;
    decltype(&::PSGetPropertyDescriptionByName) descriptionByName = nullptr;
    decltype(&::PropVariantClear) clear = nullptr;
    void* (*taskAlloc)(std::size_t) = nullptr;
    void (*taskFree)(void*) = nullptr;
    ZekStandinControlFn control = nullptr;

    // Carries out a command; false when the stand-in refused it.
    bool Run(const std::string& command, std::string* reply = nullptr) const {
        char buffer[1024];
        const bool done = control(command.c_str(), buffer, sizeof buffer) == 0;
        if (reply != nullptr) {
            *reply = buffer;
        }
        return done;
    }
    std::string Accounting() const {
        std::string reply;
        Run("accounting", &reply);
        return reply;
    }

    // Null when the library cannot be loaded (the reason goes to `why`).
    static const StandinLibrary* Get(std::string& why) {
        static StandinLibrary library;
        static std::string failure = library.Load();
        why = failure;
        return failure.empty() ? &library : nullptr;
    }

private:
#ifdef _WIN32
    static std::wstring Beside(const wchar_t* name) {
        wchar_t program[MAX_PATH];
        GetModuleFileNameW(nullptr, program, MAX_PATH);
        return (std::filesystem::path(program).parent_path() / name).wstring();
    }
    static void* Proc(HMODULE module, const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(module, name));
    }
    std::string Load() {
        HMODULE propsys = LoadLibraryW(Beside(L"propsys.dll").c_str());
        if (propsys == nullptr || GetProcAddress(propsys, "ZekStandinControl") == nullptr) {
            return "the stand-in propsys.dll is not beside the program";
        }
        Resolve([propsys](const char* name) { return Proc(propsys, name); });
        HMODULE ole32 = LoadLibraryW(L"ole32.dll");
        Bind(taskAlloc, Proc(ole32, "CoTaskMemAlloc"));
        Bind(taskFree, Proc(ole32, "CoTaskMemFree"));
        Bind(open, Proc(propsys, "ZekStandinOpenStore"));
        OleInitialize(nullptr); // stores open only where COM is: held to the end
        // The stand-in shell32.dll only where the process was told to load it; Wine names its
        // own after the file it stands for, but that one exports more than our one entry.
        HMODULE shell32 = LoadLibraryW(L"shell32.dll");
        if (shell32 != nullptr && Proc(shell32, "SHGetDesktopFolder") == nullptr) {
            Bind(open, Proc(shell32, "SHGetPropertyStoreFromParsingName"));
        }
        return open != nullptr && taskAlloc != nullptr && taskFree != nullptr ? ""
                                                                              : "missing exports";
    }
#else
    std::string Load() {
        char program[4096];
        const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
        if (length <= 0) {
            return "cannot find the program";
        }
        std::string path(program, static_cast<std::size_t>(length));
        path = path.substr(0, path.find_last_of('/') + 1) + "libzekpropsys.so";
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            return "cannot load " + path;
        }
        Resolve([module](const char* name) { return dlsym(module, name); });
        Bind(open, dlsym(module, "SHGetPropertyStoreFromParsingName"));
        Bind(taskAlloc, dlsym(module, "CoTaskMemAlloc"));
        Bind(taskFree, dlsym(module, "CoTaskMemFree"));
        // Stores open only where COM is initialised: this thread holds it to the end.
        if (auto initialise =
                reinterpret_cast<HRESULT (*)(void*)>(dlsym(module, "OleInitialize"))) {
            initialise(nullptr);
        }
        return open != nullptr && taskAlloc != nullptr && taskFree != nullptr ? ""
                                                                              : "missing exports";
    }
#endif

    template <class Find> void Resolve(Find find) {
        Bind(formatForDisplayAlloc, find("PSFormatForDisplayAlloc"));
        Bind(keyFromName, find("PSGetPropertyKeyFromName"));
        Bind(nameFromKey, find("PSGetNameFromPropertyKey"));
        Bind(coerce, find("PSCoerceToCanonicalValue"));
        Bind(description, find("PSGetPropertyDescription"));
        Bind(descriptionByName, find("PSGetPropertyDescriptionByName"));
        Bind(clear, find("PropVariantClear"));
        Bind(control, find(ZEK_STANDIN_CONTROL_EXPORT));
    }
    template <class Fn> static void Bind(Fn& fn, void* address) {
        fn = reinterpret_cast<Fn>(address);
    }
};

using standin::kIidPropertyDescription;
using standin::kIidPropertyStore;

// Published property keys, written out here rather than taken from the stand-in's schema, so
// that a wrong key there fails the tests.
constexpr GUID kSummary = {
    0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}};
constexpr GUID kStorage = {
    0xB725F130, 0x47EF, 0x101A, {0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC}};
constexpr PROPERTYKEY kTitle = {kSummary, 2};
constexpr PROPERTYKEY kSize = {kStorage, 12};
constexpr PROPERTYKEY kAttributes = {kStorage, 13};

inline bool SameKey(const PROPERTYKEY& a, const PROPERTYKEY& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline WString W(const char16_t* text) {
    return WString(text, text + std::char_traits<char16_t>::length(text));
}

// ASCII as it is, any other unit as "<U+200E>".
inline std::string Narrow(const WString& text) {
    std::string out;
    for (WCHAR c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            char unit[16];
            std::snprintf(unit, sizeof unit, "<U+%04X>", static_cast<unsigned>(c));
            out += unit;
        }
    }
    return out;
}

class StandinTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        lib = StandinLibrary::Get(why);
        if (lib == nullptr) {
            GTEST_SKIP() << why;
        }
        ASSERT_TRUE(lib->Run("reset"));
    }
    void TearDown() override {
        if (lib == nullptr) {
            return;
        }
        std::string reply;
        EXPECT_TRUE(lib->Run("check", &reply)) << reply;
        lib->Run("reset");
    }

    // Asserting wrappers around the exports.
    std::string Command(const std::string& command) const {
        std::string reply;
        EXPECT_TRUE(lib->Run(command, &reply)) << command << ": " << reply;
        return reply;
    }
    IPropertyStore* Open(const WString& name, DWORD flags, HRESULT expected = S_OK) const {
        IPropertyStore* store = nullptr;
        EXPECT_EQ(lib->open(name.c_str(), nullptr, GETPROPERTYSTOREFLAGS(flags), kIidPropertyStore,
                            reinterpret_cast<void**>(&store)),
                  expected);
        return store;
    }
    // The display text of a value, the text freed.
    std::string Format(const PROPERTYKEY& key, const PROPVARIANT& value, DWORD flags = 0,
                       HRESULT* result = nullptr) const {
        PWSTR text = nullptr;
        const HRESULT hr =
            lib->formatForDisplayAlloc(key, value, PROPDESC_FORMAT_FLAGS(flags), &text);
        if (result != nullptr) {
            *result = hr;
        }
        const std::string formatted = text != nullptr ? Narrow(text) : "(null)";
        lib->taskFree(text);
        return formatted;
    }
    HRESULT WriteText(IPropertyStore* store, const PROPERTYKEY& key, const WString& text) const {
        PROPVARIANT value;
        std::memset(&value, 0, sizeof value);
        WString copy = text;
        if (!copy.empty()) {
            value.vt = VT_LPWSTR;
            value.pwszVal = &copy[0];
        }
        return store->SetValue(key, value);
    }
    // A VT_LPWSTR whose text is task memory, as a value handed over for keeps must be.
    PROPVARIANT TaskText(const WString& text) const {
        PROPVARIANT value;
        std::memset(&value, 0, sizeof value);
        value.vt = VT_LPWSTR;
        value.pwszVal = static_cast<LPWSTR>(lib->taskAlloc((text.size() + 1) * sizeof(WCHAR)));
        std::memcpy(value.pwszVal, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
        return value;
    }
    PROPERTYKEY KeyOf(const WString& name) const {
        PROPERTYKEY key{};
        EXPECT_EQ(lib->keyFromName(name.c_str(), &key), S_OK) << Narrow(name);
        return key;
    }

    const StandinLibrary* lib = nullptr;
};

} // namespace standin_test
