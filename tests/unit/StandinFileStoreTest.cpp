// Stores of real files from the stand-in: opening, file-system facts, writing with conversion,
// committing and reopening, and a commit that cannot write.
#include "StandinLibrary.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

namespace standin_test {
namespace {

namespace fs = std::filesystem;

WString PathText(const fs::path& path) {
    const std::u16string text = path.u16string();
    return WString(text.begin(), text.end());
}

// A fresh folder per test, removed afterwards.
class StandinFileTest : public StandinTest {
protected:
    void SetUp() override {
        StandinTest::SetUp();
        static std::atomic<int> serial{0};
        folder = fs::temp_directory_path() /
                 ("zek-standin-" + std::to_string(serial++) + "-" +
                  std::to_string(static_cast<long long>(
                      fs::file_time_type::clock::now().time_since_epoch().count())));
        fs::create_directories(folder);
    }
    void TearDown() override {
        StandinTest::TearDown();
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    // Off Windows written values live in extended attributes, which not every file system has.
    bool KeepsValues() const {
#ifdef _WIN32
        return true;
#else
        const fs::path probe = folder / "probe";
        std::ofstream(probe) << "x";
        return setxattr(probe.c_str(), "user.probe", "x", 1, 0) == 0;
#endif
    }
    WString MakeFile(const char* name, std::size_t size) const {
        std::ofstream(folder / name, std::ios::binary) << std::string(size, 'x');
        return PathText(folder / name);
    }
    std::vector<std::string> Names(IPropertyStore* store) const {
        DWORD count = 0;
        EXPECT_EQ(store->GetCount(&count), S_OK);
        std::vector<std::string> names;
        for (DWORD i = 0; i < count; ++i) {
            PROPERTYKEY key{};
            EXPECT_EQ(store->GetAt(i, &key), S_OK);
            PWSTR name = nullptr;
            EXPECT_EQ(lib->nameFromKey(key, &name), S_OK);
            names.push_back(name != nullptr ? Narrow(name) : "?");
            lib->taskFree(name);
        }
        return names;
    }

    fs::path folder;
};

struct OpenCase {
    const char* what;
    const char16_t* path; // relative to the test folder; null: `absolute` as it is
    const char16_t* absolute;
    DWORD flags;
    bool otherInterface;
    HRESULT result;
};

constexpr OpenCase kOpenCases[] = {
    {"missing file", u"missing.txt", nullptr, 0, false, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
    {"missing folder", u"nowhere/missing.txt", nullptr, 0, false,
     HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)},
    {"relative path", nullptr, u"doc.txt", 0, false, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
    {"empty name", nullptr, u"", 0, false, E_INVALIDARG},
    {"flags beyond the mask", u"doc.txt", nullptr, 0x2000, false, E_INVALIDARG},
    {"all valid flags", u"doc.txt", nullptr, GPS_MASK_VALID, false, S_OK},
    {"other interface", u"doc.txt", nullptr, 0, true, E_NOINTERFACE},
};

TEST_F(StandinFileTest, OpenChecksNameFlagsAndInterface) {
    MakeFile("doc.txt", 3);
    for (const OpenCase& test : kOpenCases) {
        SCOPED_TRACE(test.what);
        const WString name =
            test.path != nullptr ? PathText(folder / fs::path(test.path)) : W(test.absolute);
        void* object = &object;
        EXPECT_EQ(lib->open(name.c_str(), nullptr, GETPROPERTYSTOREFLAGS(test.flags),
                            test.otherInterface ? kIidPropertyDescription : kIidPropertyStore,
                            &object),
                  test.result);
        EXPECT_EQ(object == nullptr, FAILED(test.result));
        if (SUCCEEDED(test.result)) {
            static_cast<IPropertyStore*>(object)->Release();
        }
    }
}

TEST_F(StandinFileTest, DefaultStoreHoldsFileSystemFacts) {
    const WString path = MakeFile("report.txt", 1234);
    IPropertyStore* store = Open(path, GPS_DEFAULT);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(Names(store), (std::vector<std::string>{
                                "System.ItemNameDisplay", "System.FileName", "System.FileExtension",
                                "System.Size", "System.DateModified", "System.DateCreated",
                                "System.DateAccessed", "System.FileAttributes"}));
    EXPECT_EQ(Read(store, KeyOf(W(u"System.FileName"))), "report.txt");
    EXPECT_EQ(Read(store, KeyOf(W(u"System.FileExtension"))), ".txt");
    EXPECT_EQ(Read(store, kSize), "1.20 KB");
    EXPECT_EQ(Read(store, KeyOf(W(u"System.FileAttributes"))), "32"); // FILE_ATTRIBUTE_ARCHIVE
    EXPECT_EQ(Read(store, kTitle), "");                               // not held: VT_EMPTY

    PROPVARIANT modified;
    std::memset(&modified, 0, sizeof modified);
    EXPECT_EQ(store->GetValue(KeyOf(W(u"System.DateModified")), &modified), S_OK);
    EXPECT_EQ(modified.vt, VT_FILETIME);
    const std::uint64_t ticks =
        (std::uint64_t(modified.filetime.dwHighDateTime) << 32) | modified.filetime.dwLowDateTime;
    EXPECT_GT(ticks, 133000000000000000ull); // after 2022
    PROPERTYKEY key{};
    EXPECT_EQ(store->GetAt(8, &key), E_INVALIDARG);
    store->Release();
}

struct WriteCase {
    const char16_t* name;
    const char16_t* text;
    HRESULT result;
    const char* readBack;
};

constexpr WriteCase kWriteCases[] = {
    {u"System.Title", u"Quarterly report", S_OK, "Quarterly report"},
    {u"System.Comment", u"  spaced  ", S_OK, "  spaced  "},
    {u"System.Rating", u"75", S_OK, "75"},
    {u"System.Rating", u"seventy", E_INVALIDARG, ""},
    {u"System.Keywords", u"red; green;;blue ", S_OK, "red; green; blue"},
    {u"System.Author", u"Ann", S_OK, "Ann"},
    {u"System.Size", u"5", STG_E_ACCESSDENIED, ""},
    {u"System.FileName", u"other.txt", STG_E_ACCESSDENIED, ""},
};

TEST_F(StandinFileTest, WritesConvertCommitAndSurviveReopening) {
    if (!KeepsValues()) {
        GTEST_SKIP() << "no user extended attributes in " << folder;
    }
    const WString path = MakeFile("doc.txt", 10);
    IPropertyStore* store = Open(path, GPS_READWRITE);
    ASSERT_NE(store, nullptr);
    EXPECT_TRUE(Names(store).empty()); // read-write: only writable properties with values
    EXPECT_EQ(store->Commit(), S_OK);  // nothing pending
    for (const WriteCase& test : kWriteCases) {
        SCOPED_TRACE(Narrow(W(test.name) + U16("=") + W(test.text)));
        EXPECT_EQ(WriteText(store, KeyOf(W(test.name)), W(test.text)), test.result);
    }
    IPropertyStore* before = Open(path, GPS_READWRITE);
    EXPECT_TRUE(Names(before).empty()); // nothing is stored before the commit
    before->Release();
    EXPECT_EQ(store->Commit(), S_OK);
    store->Release();

    store = Open(path, GPS_DEFAULT);
    EXPECT_EQ(Names(store).size(), 8u + 5u); // the facts, then the five written by name
    for (const WriteCase& test : kWriteCases) {
        SCOPED_TRACE(Narrow(W(test.name)));
        if (SUCCEEDED(test.result)) {
            EXPECT_EQ(Read(store, KeyOf(W(test.name))), test.readBack);
        }
    }
    store->Release();
#ifndef _WIN32
    char stored[64] = "";
    const ssize_t length = getxattr(fs::path(folder / "doc.txt").c_str(), "user.System.Rating",
                                    stored, sizeof stored - 1);
    EXPECT_EQ(std::string(stored, length > 0 ? static_cast<std::size_t>(length) : 0), "ui4:75");
#endif

    // An empty value clears.
    store = Open(path, GPS_READWRITE);
    EXPECT_EQ(WriteText(store, kTitle, WString()), S_OK);
    EXPECT_EQ(Read(store, kTitle), ""); // the store reports what was written
    EXPECT_EQ(store->Commit(), S_OK);
    store->Release();
    store = Open(path, GPS_READWRITE);
    EXPECT_EQ(Names(store), (std::vector<std::string>{"System.Author", "System.Comment",
                                                      "System.Keywords", "System.Rating"}));
    store->Release();
}

TEST_F(StandinFileTest, ReadOnlyStoreRefusesWrites) {
    const WString path = MakeFile("doc.txt", 1);
    IPropertyStore* store = Open(path, GPS_DEFAULT);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(WriteText(store, kTitle, W(u"x")), STG_E_ACCESSDENIED);
    EXPECT_EQ(store->Commit(), STG_E_ACCESSDENIED);
    store->Release();
}

// Makes the file refuse property writes; false when this machine cannot.
bool Protect(const fs::path& path, bool on) {
#ifdef _WIN32
    return SetFileAttributesW(path.c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    if (geteuid() != 0) {
        return chmod(path.c_str(), on ? 0444 : 0644) == 0;
    }
    // The superuser writes anything that is not immutable.
    const int fd = open(path.c_str(), O_RDONLY);
    int flags = 0;
    const bool done = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                      (flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL,
                       ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (fd >= 0) {
        close(fd);
    }
    return done;
#endif
}

TEST_F(StandinFileTest, FailedCommitKeepsStoredValues) {
    if (!KeepsValues()) {
        GTEST_SKIP() << "no user extended attributes in " << folder;
    }
    const WString path = MakeFile("doc.txt", 1);
    IPropertyStore* store = Open(path, GPS_READWRITE);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(WriteText(store, kTitle, W(u"Old")), S_OK);
    EXPECT_EQ(store->Commit(), S_OK);
    store->Release();

    if (!Protect(folder / "doc.txt", true)) {
        GTEST_SKIP() << "cannot make a file unwritable here";
    }
    store = Open(path, GPS_READWRITE);
    EXPECT_EQ(WriteText(store, KeyOf(W(u"System.Comment")), W(u"new comment")), S_OK);
    EXPECT_EQ(WriteText(store, kTitle, W(u"New")), S_OK);
    EXPECT_EQ(store->Commit(), E_ACCESSDENIED);
    store->Release();
    Protect(folder / "doc.txt", false);

    store = Open(path, GPS_READWRITE);
    EXPECT_EQ(Names(store), std::vector<std::string>{"System.Title"});
    EXPECT_EQ(Read(store, kTitle), "Old");
    store->Release();
}

} // namespace
} // namespace standin_test
