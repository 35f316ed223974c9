// Binding the property system: once, all-or-nothing, and what callers report when it fails.
// A loader table of the test's own stands between the binding and the system's loader, so
// the same cases run wherever the extender does.
#include "HostHarness.h"
#include "StandinLibrary.h"
#include "properties/PropertyKeys.h"
#include "properties/binding/PropertySystemApi.h"
#include "propstore/MyExtender.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <thread>
#include <vector>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

using namespace zekextender;
using zektest::HostHarness;

namespace {

// The system's loader, watched and with parts taken away: "load shell32.dll",
// "fail propsys.dll", "find PropVariantClear", "free ole32.dll".
struct WatchedLoader {
    std::vector<std::string> events;
    std::set<std::string> hiddenModules;
    std::set<std::string> hiddenExports;
    std::string outOfMemoryAt;                         // a module whose load throws std::bad_alloc
    std::map<HMODULE, std::vector<std::string>> names; // each live reference by name
    int live = 0;
    // Set, a free while the stand-in holds a store says so, and the last store opened is kept.
    const standin_test::StandinLibrary* standin = nullptr;
    IPropertyStore* store = nullptr;

    static WatchedLoader& Current() {
        static WatchedLoader loader;
        return loader;
    }

    static std::string Lower(LPCWSTR name) {
        std::string text;
        for (; *name != 0; ++name) {
            const auto c = static_cast<unsigned>(*name);
            text += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        }
        return text;
    }
    static HMODULE Load(LPCWSTR fileName) {
        WatchedLoader& loader = Current();
        const std::string name = Lower(fileName);
        if (name == loader.outOfMemoryAt) {
            throw std::bad_alloc();
        }
        if (loader.hiddenModules.count(name) != 0) {
            loader.events.push_back("fail " + name);
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        const HMODULE module = SystemModuleLoader.loadLibrary(fileName);
        loader.events.push_back((module != nullptr ? "load " : "fail ") + name);
        if (module != nullptr) {
            loader.names[module].push_back(name);
            ++loader.live;
        }
        return module;
    }
    static FARPROC Find(HMODULE module, LPCSTR name) {
        WatchedLoader& loader = Current();
        loader.events.push_back(std::string("find ") + name);
        if (loader.hiddenExports.count(name) != 0) {
            SetLastError(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
        if (loader.standin != nullptr &&
            std::strcmp(name, "SHGetPropertyStoreFromParsingName") == 0) {
            return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&Open));
        }
        return SystemModuleLoader.getProcAddress(module, name);
    }
    static HRESULT Open(PCWSTR name, IBindCtx* context, GETPROPERTYSTOREFLAGS flags, REFIID iid,
                        void** out) {
        const HRESULT result = Current().standin->open(name, context, flags, iid, out);
        Current().store = static_cast<IPropertyStore*>(*out);
        return result;
    }
    static BOOL Free(HMODULE module) {
        WatchedLoader& loader = Current();
        std::vector<std::string>& references = loader.names[module];
        loader.events.push_back("free " + (references.empty() ? "?" : references.back()));
        if (loader.standin != nullptr && loader.standin->Accounting().find("references 0,") != 0) {
            loader.events.back() += " under a live store";
        }
        if (!references.empty()) {
            references.pop_back();
            --loader.live;
        }
        return SystemModuleLoader.freeLibrary(module);
    }
};

// The loads and frees since the last call, lookups left out.
std::vector<std::string> LoadsAndFrees() {
    std::vector<std::string> kept;
    for (const std::string& event : WatchedLoader::Current().events) {
        if (event.compare(0, 5, "find ") != 0) {
            kept.push_back(event);
        }
    }
    WatchedLoader::Current().events.clear();
    return kept;
}

bool NothingBound() {
    const PropertySystemApi& api = zekextender::PropertySystem;
    bool any = api.loaded;
    for (const PropertySystemLibrary& library : PropertySystemLibraries) {
        any = any || static_cast<bool>(api.*library.module);
    }
    for (const PropertySystemEntryPoint& entry : PropertySystemEntryPoints) {
        any = any || entry.isBound(api);
    }
    return !any;
}

// Each test starts from an unloaded table watched by the test's loader, and leaves the
// system's loader and a loaded table again, as the module has them.
class PropertySystemBinding : public testing::Test {
protected:
    void SetUp() override {
        zekextender::PropertySystem.Unload();
        WatchedLoader::Current() = WatchedLoader();
        PropertySystemLoader = {&WatchedLoader::Load, &WatchedLoader::Find, &WatchedLoader::Free};
    }
    void TearDown() override {
        zekextender::PropertySystem.Unload();
        EXPECT_EQ(WatchedLoader::Current().live, 0) << "every module loaded is freed";
        PropertySystemLoader = SystemModuleLoader;
        EXPECT_EQ(zekextender::PropertySystem.Load(), StatusSuccess);
    }
};

} // namespace

TEST_F(PropertySystemBinding, LoadsEachLibraryOnceAndBindsEverything) {
    ASSERT_EQ(zekextender::PropertySystem.Load(), StatusSuccess);
    EXPECT_TRUE(zekextender::PropertySystem.IsLoaded());
    for (const PropertySystemEntryPoint& entry : PropertySystemEntryPoints) {
        EXPECT_TRUE(entry.isBound(zekextender::PropertySystem)) << entry.exportName;
    }
    EXPECT_EQ(WatchedLoader::Current().live, 3);
    WatchedLoader::Current().events.clear();

    EXPECT_EQ(zekextender::PropertySystem.Load(), StatusSuccess);
    EXPECT_TRUE(WatchedLoader::Current().events.empty());

    EXPECT_EQ(zekextender::PropertySystem.Unload(), StatusSuccess);
    EXPECT_TRUE(NothingBound());
    EXPECT_EQ(LoadsAndFrees(),
              (std::vector<std::string>{"free shell32.dll", "free propsys.dll", "free ole32.dll"}));
}

TEST_F(PropertySystemBinding, MissingLibraryReleasesTheOnesLoaded) {
    const struct {
        const char* missing;
        std::vector<std::string> events;
    } cases[] = {
        {"shell32.dll", {"fail shell32.dll"}},
        {"propsys.dll", {"load shell32.dll", "fail propsys.dll", "free shell32.dll"}},
        {"ole32.dll",
         {"load shell32.dll", "load propsys.dll", "fail ole32.dll", "free shell32.dll",
          "free propsys.dll"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.missing);
        WatchedLoader::Current().hiddenModules = {c.missing};
        EXPECT_EQ(zekextender::PropertySystem.Load(), StatusLibraryLoadFailed);
        EXPECT_TRUE(NothingBound());
        EXPECT_EQ(LoadsAndFrees(), c.events);
        EXPECT_EQ(WatchedLoader::Current().live, 0);
    }
}

TEST_F(PropertySystemBinding, MissingEntryPointReleasesEverything) {
    for (const PropertySystemEntryPoint& entry : PropertySystemEntryPoints) {
        SCOPED_TRACE(entry.exportName);
        WatchedLoader::Current().hiddenExports = {entry.exportName};
        EXPECT_EQ(zekextender::PropertySystem.Load(), StatusEntryPointMissing);
        EXPECT_TRUE(NothingBound());
        EXPECT_EQ(LoadsAndFrees(), (std::vector<std::string>{
                                       "load shell32.dll", "load propsys.dll", "load ole32.dll",
                                       "free shell32.dll", "free propsys.dll", "free ole32.dll"}));
        EXPECT_EQ(WatchedLoader::Current().live, 0);
    }
}

TEST_F(PropertySystemBinding, LoaderOutOfMemoryBindsNothing) {
    WatchedLoader::Current().outOfMemoryAt = "ole32.dll";
    EXPECT_EQ(zekextender::PropertySystem.Load(), StatusOutOfMemory);
    EXPECT_TRUE(NothingBound());
    EXPECT_EQ(LoadsAndFrees(), (std::vector<std::string>{"load shell32.dll", "load propsys.dll",
                                                         "free shell32.dll", "free propsys.dll"}));
}

// Unloaded, the extender frees the libraries it bound and balances its OLE initialisation. When
// the process ends it frees and uninitialises nothing: the libraries and what they loaded may be
// detached already, and the system reclaims everything. Each round runs on a thread of its own,
// where OLE starts uninitialised. Where the extender reaches the stand-in, a store open then is
// released before its library is freed, or, when the process ends, not released at all.
TEST_F(PropertySystemBinding, TheExtenderFreesNothingWhenTheProcessEnds) {
    CZEKExtender* const published = TheExtender;
    WatchedLoader& watched = WatchedLoader::Current();
#ifndef _WIN32 // under Wine the extender binds the system's own libraries
    std::string why;
    watched.standin = standin_test::StandinLibrary::Get(why);
    ASSERT_TRUE(watched.standin != nullptr && watched.standin->Run(R"(item "doc:end")")) << why;
#endif
    for (const bool ending : {false, true}) {
        SCOPED_TRACE(ending ? "the process ending" : "unloaded");
        bool loaded = false;
        HRESULT oleAfterwards = E_FAIL;
        std::thread([&] {
            auto extender = std::make_unique<CMyExtender>();
            loaded = zekextender::PropertySystem.IsLoaded();
            if (watched.standin != nullptr) {
#ifdef __SANITIZE_ADDRESS__
                __lsan::ScopedDisabler abandoned; // the ending extender leaves its record
#endif
                HostHarness host;
                host.Call("vtoOpenPS",
                          {HostHarness::Wide(U16("doc:end")), HostHarness::Integer(0)});
                EXPECT_EQ(host.deliveries.at(0).intValue, 1);
            }
            LoadsAndFrees();
            ProcessEnding = ending;
            extender.reset();
            ProcessEnding = false;
            oleAfterwards = OleInitialize(nullptr); // S_OK: nothing was left initialised
            OleUninitialize();
            if (ending) {
                OleUninitialize(); // what the system would reclaim
            }
        }).join();
        TheExtender = published;
        EXPECT_TRUE(loaded);
        EXPECT_EQ(oleAfterwards, ending ? S_FALSE : S_OK);
        EXPECT_TRUE(NothingBound());
        const std::vector<std::string> frees{"free shell32.dll", "free propsys.dll",
                                             "free ole32.dll"};
        EXPECT_EQ(LoadsAndFrees(), ending ? std::vector<std::string>() : frees);
        EXPECT_EQ(WatchedLoader::Current().live, ending ? 3 : 0);
        for (auto& [module, references] : WatchedLoader::Current().names) {
            while (!references.empty()) {
                WatchedLoader::Free(module); // what the system would reclaim
            }
        }
        if (watched.standin != nullptr) {
            ASSERT_EQ(watched.standin->Accounting().substr(0, 12),
                      ending ? "references 1" : "references 0");
            if (ending) {
                watched.store->Release(); // what the system would reclaim
            }
        }
    }
}

TEST_F(PropertySystemBinding, UnloadingAnUnloadedTableDoesNothing) {
    EXPECT_EQ(zekextender::PropertySystem.Unload(), StatusSuccess);
    EXPECT_TRUE(NothingBound());
    EXPECT_TRUE(WatchedLoader::Current().events.empty());
}

TEST_F(PropertySystemBinding, CallersReportTheLibraryCodeWhateverFailed) {
    WatchedLoader::Current().hiddenExports = {"PSFormatForDisplay"};
    ASSERT_EQ(zekextender::PropertySystem.Load(), StatusEntryPointMissing);

    PROPERTYKEY key;
    std::memset(&key, 0xAB, sizeof key);
    EXPECT_EQ(PropertyKeyFromName(U16("System.Title"), key), StatusLibraryLoadFailed);
    EXPECT_EQ(key.pid, 0u);
    WString name = U16("left over");
    EXPECT_EQ(PropertyNameFromKey(key, name), StatusLibraryLoadFailed);
    EXPECT_TRUE(name.empty());

    HostHarness host;
    host.Call("vtoIsSupported");
    host.Call("vtoGetPropertyDescription", {HostHarness::Wide(U16("System.Title"))});
    host.Call("vtoGetPropertyDescription", {HostHarness::Wide(U16(""))}); // emptiness first
    ASSERT_EQ(host.deliveries.size(), 3u);
    EXPECT_EQ(host.deliveries[0].intValue, 0);
    EXPECT_EQ(host.deliveries[1].narrow,
              "95: ZXVTO38R: Failed to load a library via late binding.");
    EXPECT_EQ(host.deliveries[2].narrow, "9: ZXVTO38R: An input parameter value is invalid.");
}
