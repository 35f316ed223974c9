// Binding the property system: order, all-or-nothing, and what callers report when it fails.
// The module hooks belong to the platform layer of machines without Windows.
#ifndef _WIN32

#include "HostHarness.h"
#include "platform/posix/SystemModules.h"
#include "properties/PropertyKeys.h"
#include "propstore/PropertySystemApi.h"

#include <gtest/gtest.h>

using namespace zekextender;
using zekplatform::ModuleEvent;
using zektest::HostHarness;
using zektest::Utf16;

namespace {

constexpr std::int16_t IsSupportedId = 11;
constexpr std::int16_t GetPropertyDescriptionId = 12;

// "load shell32.dll", "free propsys.dll", "fail propsys.dll": a readable event log.
std::vector<std::string> Events() {
    std::vector<std::string> log;
    for (const ModuleEvent& event : zekplatform::TakeModuleEvents()) {
        const char* verb = event.kind == ModuleEvent::Kind::Free ? "free"
                           : event.succeeded                     ? "load"
                                                                 : "fail";
        log.push_back(std::string(verb) + " " + event.module);
    }
    return log;
}

bool NothingBound() {
    const PropertySystemApi& api = PropertySystem;
    return !api.loaded && !api.shell32 && !api.propsys && !api.ole32 &&
           !api.SHGetPropertyStoreFromParsingName && !api.PSFormatForDisplay &&
           !api.PSFormatForDisplayAlloc && !api.PSFormatPropertyValue &&
           !api.PSGetPropertyKeyFromName && !api.PSGetNameFromPropertyKey &&
           !api.PSCoerceToCanonicalValue && !api.PSGetPropertyDescription &&
           !api.PSGetPropertyDescriptionByName && !api.PropVariantClear;
}

// Each test starts from an unloaded table and leaves it loaded again, as the module has it.
class PropertySystemBinding : public testing::Test {
protected:
    void SetUp() override {
        PropertySystem.Unload();
        zekplatform::TakeModuleEvents();
        baseline = zekplatform::LiveSystemModuleReferences();
    }
    void TearDown() override {
        zekplatform::ClearSystemModuleHooks();
        PropertySystem.Unload();
        EXPECT_EQ(PropertySystem.Load(), StatusSuccess);
        zekplatform::TakeModuleEvents();
    }
    int baseline = 0;
};

} // namespace

TEST_F(PropertySystemBinding, LoadsEachLibraryOnceInOrder) {
    ASSERT_EQ(PropertySystem.Load(), StatusSuccess);
    EXPECT_TRUE(PropertySystem.IsLoaded());
    EXPECT_EQ(Events(),
              (std::vector<std::string>{"load shell32.dll", "load propsys.dll", "load ole32.dll"}));
    EXPECT_EQ(zekplatform::LiveSystemModuleReferences(), baseline + 3);

    EXPECT_EQ(PropertySystem.Load(), StatusSuccess);
    EXPECT_TRUE(Events().empty());

    EXPECT_EQ(PropertySystem.Unload(), StatusSuccess);
    EXPECT_TRUE(NothingBound());
    EXPECT_EQ(Events(),
              (std::vector<std::string>{"free shell32.dll", "free propsys.dll", "free ole32.dll"}));
    EXPECT_EQ(zekplatform::LiveSystemModuleReferences(), baseline);
}

TEST_F(PropertySystemBinding, MissingLibraryReleasesTheOnesLoaded) {
    zekplatform::HideSystemModule("propsys.dll");
    EXPECT_EQ(PropertySystem.Load(), StatusLibraryLoadFailed);
    EXPECT_TRUE(NothingBound());
    EXPECT_EQ(Events(), (std::vector<std::string>{"load shell32.dll", "fail propsys.dll",
                                                  "free shell32.dll"}));
    EXPECT_EQ(zekplatform::LiveSystemModuleReferences(), baseline);
}

TEST_F(PropertySystemBinding, MissingEntryPointReleasesEverything) {
    for (const char* missing : {"SHGetPropertyStoreFromParsingName", "PSCoerceToCanonicalValue",
                                "PSGetPropertyDescriptionByName", "PropVariantClear"}) {
        SCOPED_TRACE(missing);
        zekplatform::HideSystemExport(missing);
        EXPECT_EQ(PropertySystem.Load(), StatusEntryPointMissing);
        EXPECT_TRUE(NothingBound());
        EXPECT_EQ(Events(), (std::vector<std::string>{"load shell32.dll", "load propsys.dll",
                                                      "load ole32.dll", "free shell32.dll",
                                                      "free propsys.dll", "free ole32.dll"}));
        EXPECT_EQ(zekplatform::LiveSystemModuleReferences(), baseline);
        zekplatform::ClearSystemModuleHooks();
    }
}

TEST_F(PropertySystemBinding, UnloadingAnUnloadedTableDoesNothing) {
    EXPECT_EQ(PropertySystem.Unload(), StatusSuccess);
    EXPECT_TRUE(NothingBound());
    EXPECT_TRUE(Events().empty());
}

TEST_F(PropertySystemBinding, CallersReportTheLibraryCodeWhateverFailed) {
    zekplatform::HideSystemExport("PSFormatForDisplay");
    ASSERT_EQ(PropertySystem.Load(), StatusEntryPointMissing);

    PROPERTYKEY key;
    std::memset(&key, 0xAB, sizeof key);
    EXPECT_EQ(PropertyKeyFromName(U16("System.Title"), key), StatusLibraryLoadFailed);
    EXPECT_EQ(key.pid, 0u);
    WString name = U16("left over");
    EXPECT_EQ(PropertyNameFromKey(key, name), StatusLibraryLoadFailed);
    EXPECT_TRUE(name.empty());

    HostHarness host;
    host.Call(IsSupportedId);
    host.Call(GetPropertyDescriptionId, {HostHarness::Wide(U16("System.Title"))});
    host.Call(GetPropertyDescriptionId, {HostHarness::Wide(U16(""))}); // emptiness comes first
    ASSERT_EQ(host.deliveries.size(), 3u);
    EXPECT_EQ(host.deliveries[0].intValue, 0);
    EXPECT_EQ(host.deliveries[1].narrow,
              "95: ZXVTO38R: Failed to load a library via late binding.");
    EXPECT_EQ(host.deliveries[2].narrow, "9: ZXVTO38R: An input parameter value is invalid.");
}

#endif
