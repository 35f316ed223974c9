// Loading the extender's library while memory runs out: whichever allocation of its start-up
// fails, the library loads, no exception reaches the loader, and the entry points answer.
// (The allocator of a Windows DLL is its own, out of a test program's reach.)
#ifndef _WIN32

#include "FailingAllocator.h"
#include "HostHarness.h"
#include "StandinLibrary.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

using zektest::HostHarness;

namespace {

std::string BesideProgram(const std::string& name) {
    char program[4096];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    std::string path(program, length > 0 ? static_cast<std::size_t>(length) : 0);
    return path.substr(0, path.find_last_of('/') + 1) + name;
}

} // namespace

TEST(ModuleLoad, LoadsAndAnswersWhicheverAllocationFails) {
    // The stand-in stays loaded throughout, so that its own start-up is not under test.
    std::string why;
    ASSERT_NE(standin_test::StandinLibrary::Get(why), nullptr) << why;
    const std::string library = BesideProgram("libzxvto38r.so");

    std::size_t failures = 0;
    for (std::size_t n = 1;; ++n) {
        SCOPED_TRACE(testing::Message() << "allocation " << n);
        void* module = nullptr;
        bool failed = false;
        {
            zektest::AllocationFailure failure(n);
            module = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
            failed = failure.Failed();
        }
        ASSERT_NE(module, nullptr) << dlerror();
        const auto query =
            reinterpret_cast<ZEKExtenderQueryWFn>(dlsym(module, "ZEKExtenderQueryW"));
        HostHarness host;
        host.entry = reinterpret_cast<ZEKExtender2WFn>(dlsym(module, "ZEKExtender2W"));
        ASSERT_TRUE(query != nullptr && host.entry != nullptr);

        std::uint32_t offered[] = {5};
        EXPECT_EQ(query(2, reinterpret_cast<INT_PTR>(offered), 1), 5);
        for (const char* function : {"vtoIsSupported", "vtoGetErrorText"}) {
            host.deliveries.clear();
            host.Call(function, {HostHarness::Integer(9)});
            EXPECT_EQ(host.deliveries.size(), 1u) << function;
        }
        dlclose(module);
        if (!failed) {
            break;
        }
        ++failures;
    }
    EXPECT_GT(failures, 0u);
}

#endif
