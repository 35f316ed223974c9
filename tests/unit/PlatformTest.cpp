// The Windows functions the extender calls, as the platform layer provides them. Cases that
// hold on both platforms also run against Windows itself, which keeps the stand-in honest.
#include "platform/platform.h"
#include "CraftedModules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include "platform/posix/Text.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

struct CopyCase {
    const char16_t* source;
    int room;
    const char16_t* expected; // null: the destination is left alone
};

constexpr CopyCase CopyCases[] = {
    {u"abcdef", 0, nullptr},
    {u"abcdef", 1, u""},
    {u"abcdef", 4, u"abc"},
    {u"abcdef", 6, u"abcde"},
    {u"abcdef", 7, u"abcdef"},
    {u"abcdef", 50, u"abcdef"},
    {u"", 5, u""},
};

TEST(Platform, CopyNTruncatesAndTerminates) {
    for (const CopyCase& test : CopyCases) {
        SCOPED_TRACE(test.room);
        WCHAR buffer[64];
        std::fill(std::begin(buffer), std::end(buffer), WCHAR(u'#'));
        const WString source(test.source,
                             test.source + std::char_traits<char16_t>::length(test.source));
        EXPECT_EQ(lstrcpynW(buffer, source.c_str(), test.room), buffer);
        if (test.expected == nullptr) {
            EXPECT_EQ(buffer[0], u'#');
            continue;
        }
        const std::size_t length = std::char_traits<char16_t>::length(test.expected);
        EXPECT_EQ(WString(buffer, lstrlenW(buffer)),
                  WString(test.expected, test.expected + length));
        EXPECT_EQ(buffer[length + 1], u'#'); // nothing written past the terminator
    }
}

TEST(Platform, CharLowerHandlesLatin1) {
    WString text(U16("ABC xyz 09"));
    text += {0xC0, 0xD6, 0xD7, 0xD8, 0xDE, 0xDF, 0xFF};
    WString expected(U16("abc xyz 09"));
    expected += {0xE0, 0xF6, 0xD7, 0xF8, 0xFE, 0xDF, 0xFF};
    EXPECT_EQ(CharLowerW(&text[0]), &text[0]);
    EXPECT_EQ(text, expected);
}

struct Latin1Case {
    const char16_t* text;
    const char* expected;
    BOOL usedDefault;
};

constexpr Latin1Case Latin1Cases[] = {
    {u"plain", "plain", FALSE},
    {u"caf\u00e9 \u00ff", "caf\xe9 \xff", FALSE},
    {u"\u4e2d x \u4e2d", "? x ?", TRUE},
};

TEST(Platform, WideCharToLatin1) {
    for (const Latin1Case& test : Latin1Cases) {
        SCOPED_TRACE(test.expected);
        const WString text(test.text, test.text + std::char_traits<char16_t>::length(test.text));
        BOOL usedDefault = -1;
        // -1 converts the terminator too.
        const int size =
            WideCharToMultiByte(28591, 0, text.c_str(), -1, nullptr, 0, nullptr, &usedDefault);
        ASSERT_EQ(size, static_cast<int>(std::strlen(test.expected)) + 1);
        EXPECT_EQ(usedDefault, test.usedDefault);
        std::vector<char> out(size + 1, '#');
        usedDefault = -1;
        EXPECT_EQ(WideCharToMultiByte(28591, 0, text.c_str(), -1, out.data(), size, nullptr,
                                      &usedDefault),
                  size);
        EXPECT_STREQ(out.data(), test.expected);
        EXPECT_EQ(out[size], '#');
        EXPECT_EQ(usedDefault, test.usedDefault);

        SetLastError(0);
        EXPECT_EQ(
            WideCharToMultiByte(28591, 0, text.c_str(), -1, out.data(), size - 1, nullptr, nullptr),
            0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    }
}

TEST(Platform, ModuleFileNameIsTruncatedAndTerminated) {
    WCHAR full[32000] = {};
    const DWORD length = GetModuleFileNameW(nullptr, full, 32000);
    ASSERT_GT(length, 5u);
    EXPECT_EQ(static_cast<DWORD>(lstrlenW(full)), length);

    WCHAR shortBuffer[8];
    std::fill(std::begin(shortBuffer), std::end(shortBuffer), WCHAR(u'#'));
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, shortBuffer, 5), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(WString(shortBuffer, 4), WString(full, 4));
    EXPECT_EQ(shortBuffer[5], u'#');
#ifndef _WIN32
    // Windows terminates the truncated name since Vista; Wine still does as XP did.
    EXPECT_EQ(shortBuffer[4], 0);
#endif
}

TEST(Platform, ModuleFileNameOfLoadedAndUnknownModules) {
    const WString path = zektest::CraftedModulePath("crafted_version_normal");
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr);
    WCHAR name[32000] = {};
    EXPECT_EQ(GetModuleFileNameW(module, name, 32000), path.size());
    EXPECT_TRUE(FreeLibrary(module));

    int notAModule = 0;
    EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(&notAModule), name, 32000), 0u);
}

struct NtStatusCase {
    std::uint32_t status;
    ULONG error;
};

constexpr NtStatusCase NtStatusCases[] = {
    {0x00000000, 0},   {0xC0000022, 5},   {0xC0000034, 2},   {0xC000003A, 3},   {0xC000000D, 87},
    {0xC0000017, 8},   {0xC00000F3, 87},  {0xC0070005, 5},   {0xC0FFEE00, 317}, {0x80000006, 18},
    {0xC0000005, 998}, {0xC000003B, 161}, {0x8000001A, 259}, {0x00000103, 997},
};

TEST(Platform, NtStatusToWinError) {
    for (const NtStatusCase& test : NtStatusCases) {
        SCOPED_TRACE(test.status);
        EXPECT_EQ(LsaNtStatusToWinError(static_cast<NTSTATUS>(test.status)), test.error);
    }
}

std::vector<BYTE> VersionBlockOf(const WString& path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
        block.clear();
    }
    return block;
}

TEST(Platform, VersionQueriesOfARealBlock) {
    std::vector<BYTE> block = VersionBlockOf(zektest::CraftedModulePath("crafted_version_normal"));
    ASSERT_FALSE(block.empty());
    LPVOID value = nullptr;
    UINT length = 0;

    ASSERT_TRUE(VerQueryValueW(block.data(), U16("\\"), &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, static_cast<DWORD>(VS_FFI_SIGNATURE));
    EXPECT_EQ(fixed->dwProductVersionMS, (45001u << 16) | 0);

    ASSERT_TRUE(VerQueryValueW(block.data(), U16("\\VarFileInfo\\Translation"), &value, &length));
    ASSERT_EQ(length, 4u);
    DWORD translation = 0;
    std::memcpy(&translation, value, 4);
    EXPECT_EQ(translation, 0x04B00409u);

    // Keys match without regard to case; a text's length counts its terminator.
    ASSERT_TRUE(VerQueryValueW(block.data(), U16("\\StringFileInfo\\040904B0\\productVERSION"),
                               &value, &length));
    ASSERT_EQ(length, 12u);
    EXPECT_EQ(WString(static_cast<const WCHAR*>(value), 11), WString(U16("45001.0.0.1")));

    EXPECT_FALSE(
        VerQueryValueW(block.data(), U16("\\StringFileInfo\\040904b0\\Product"), &value, &length));
    EXPECT_FALSE(
        VerQueryValueW(block.data(), U16("\\VarFileInfo\\Translation\\x"), &value, &length));
}

#ifndef _WIN32

constexpr const char16_t* VersionQueries[] = {
    u"\\",
    u"\\VarFileInfo\\Translation",
    u"\\StringFileInfo\\040904b0\\ProductVersion",
};

// A found value must lie inside the block the caller handed over.
void QueryEverything(const std::vector<BYTE>& block) {
    for (const char16_t* query : VersionQueries) {
        LPVOID value = nullptr;
        UINT length = 0;
        if (VerQueryValueW(block.data(), query, &value, &length)) {
            const auto* begin = static_cast<const BYTE*>(value);
            const std::size_t bytes = query[1] == u'S' ? length * sizeof(WCHAR) : length;
            EXPECT_GE(begin, block.data());
            EXPECT_LE(begin + bytes, block.data() + block.size());
        }
    }
}

TEST(Platform, VersionQueriesStayInsideDamagedBlocks) {
    const WString path = zektest::CraftedModulePath("crafted_version_normal");
    const std::vector<BYTE> block = VersionBlockOf(path);
    ASSERT_FALSE(block.empty());

    // A buffer shorter than the block receives a truncated copy.
    for (DWORD size = 6; size <= block.size(); ++size) {
        std::vector<BYTE> truncated(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, truncated.data()));
        QueryEverything(truncated);
    }
    // Damage to any byte after the block's own length.
    for (std::size_t offset = 2; offset < block.size(); ++offset) {
        for (BYTE damage : {0x00, 0x01, 0x7F, 0xFF}) {
            std::vector<BYTE> damaged = block;
            damaged[offset] = damage;
            QueryEverything(damaged);
        }
    }
    // A text one character longer than its node holds (though as many bytes would fit).
    std::vector<BYTE> longer = block;
    ASSERT_EQ(++longer[0x102], 13); // ProductVersion's length, in a node of 24 value bytes
    LPVOID value = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueW(longer.data(), VersionQueries[2], &value, &length));
}

TEST(Platform, VersionInfoOfDamagedFiles) {
    // Every file opened for its version is closed again, read or refused.
    const auto descriptors = [] {
        namespace fs = std::filesystem;
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto openBefore = descriptors();
    const WString path = zektest::CraftedModulePath("crafted_version_normal");
    const DWORD intact = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    ASSERT_GT(intact, 0u);
    std::ifstream in(zekplatform::PathFromUtf16(path.c_str()), std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(image.size(), 64u);

    // A file of this run's own, removed however the test ends.
    struct ScratchFile {
        std::string path = (std::filesystem::temp_directory_path() /
                            ("zek_damaged_module_" + std::to_string(getpid()) + ".so"))
                               .string();
        ~ScratchFile() { std::remove(path.c_str()); }
    } scratchFile;
    const std::string& scratch = scratchFile.path;
    const std::u16string scratchName = zekplatform::PathToUtf16(scratch.c_str());
    auto sizeOf = [&](const std::string& bytes) {
        std::ofstream(scratch, std::ios::binary | std::ios::trunc) << bytes;
        return GetFileVersionInfoSizeW(scratchName.c_str(), nullptr);
    };

    for (std::size_t length = 0; length < image.size(); length += 61) {
        const DWORD size = sizeOf(image.substr(0, length));
        EXPECT_TRUE(size == 0 || size == intact) << length;
    }
    // Header fields: section table offset, entry size, count and name table index.
    for (std::size_t field : {0x28, 0x3A, 0x3C, 0x3E}) {
        for (unsigned char damage : {0x00, 0x01, 0x7F, 0xFF}) {
            std::string damaged = image;
            damaged[field] = static_cast<char>(damage);
            damaged[field + 1] = static_cast<char>(damage);
            EXPECT_EQ(sizeOf(damaged), 0u) << field << " " << int{damage};
        }
    }
    // The version record said to be four bytes longer than the section that holds it.
    const std::size_t type = image.find(std::string("\xff\xff\x10\0\xff\xff\x01\0", 8));
    ASSERT_TRUE(type != std::string::npos && type >= 8); // RT_VERSION, 1, after its data size
    std::string longer = image;
    longer[type - 8] += 4;
    EXPECT_EQ(sizeOf(longer), 0u);
    EXPECT_EQ(sizeOf("#!/bin/sh\n"), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));
    // Open errors by their Windows names: a file taken for a folder, one this user may not read.
    EXPECT_EQ(GetFileVersionInfoSizeW((scratchName + u"/x").c_str(), nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    if (geteuid() != 0 && chmod(scratch.c_str(), 0) == 0) { // the superuser reads any file
        EXPECT_EQ(GetFileVersionInfoSizeW(scratchName.c_str(), nullptr), 0u);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    std::remove(scratch.c_str());
    EXPECT_EQ(GetFileVersionInfoSizeW(scratchName.c_str(), nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    in.close();
    EXPECT_EQ(descriptors(), openBefore);
}

// A host that closed its standard input still reads version information: the file then opens
// as descriptor 0.
TEST(Platform, VersionInfoWithStandardInputClosed) {
    const WString path = zektest::CraftedModulePath("crafted_version_normal");
    const int input = dup(0); // fails when it is closed already
    close(0);
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    if (input >= 0) {
        dup2(input, 0);
        close(input);
    }
    EXPECT_GT(size, 0u);
}

TEST(Platform, FileNamesSurviveUtf16) {
    for (const char* name :
         {"plain", "caf\xc3\xa9", "\xf0\x9f\x98\x80", "\xf4\x8f\xbf\xbf", "\xff\xfe",
          "\xed\xa0\x80", "\xc0\xaf", "a\xe2\x82", "\xf8\x88\x80\x80\x80"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(zekplatform::PathFromUtf16(zekplatform::PathToUtf16(name).c_str()), name);
    }
    // Valid UTF-8 becomes its characters; a byte that breaks a sequence is kept on its own.
    EXPECT_EQ(zekplatform::PathToUtf16("caf\xc3\xa9"), u"caf\u00e9");
    EXPECT_EQ(zekplatform::PathToUtf16("\xe2\x82\xac"), u"\u20ac");
    EXPECT_EQ(zekplatform::PathToUtf16("\xf0\x9f\x98\x80"), u"\U0001F600");
    EXPECT_EQ(zekplatform::PathToUtf16("\xf4\x8f\xbf\xbf"), u"\U0010FFFF");
    EXPECT_EQ(zekplatform::PathToUtf16("\xc3("), u"\xdcc3(");
    EXPECT_EQ(zekplatform::PathToUtf16("\xe2\x82("), u"\xdce2\xdc82(");
}

#endif

} // namespace

// OLE is per thread; a second initialisation on a thread that has it says so, and each
// uninitialisation undoes one. The stand-in plays Windows' OLE here, and the calls must reach it.
TEST(Platform, OleInitializeCountsPerThread) {
    std::thread([] {
        EXPECT_EQ(OleInitialize(nullptr), S_OK);
        EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
        OleUninitialize();
        OleUninitialize();
        EXPECT_EQ(OleInitialize(nullptr), S_OK);
        OleUninitialize();
    }).join();
}
