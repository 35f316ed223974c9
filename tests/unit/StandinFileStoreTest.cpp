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
    {"every valid flag", u"doc.txt", nullptr, GPS_MASK_VALID, false, E_INVALIDARG},
    {"other interface", u"doc.txt", nullptr, 0, true, E_NOINTERFACE},
    // The combinations GETPROPERTYSTOREFLAGS rules out, and some it allows.
    {"read-write temporary", u"photo.jpg", nullptr, DWORD(GPS_READWRITE) | GPS_TEMPORARY, false,
     E_INVALIDARG},
    {"read-write fast", u"photo.jpg", nullptr, DWORD(GPS_READWRITE) | GPS_FASTPROPERTIESONLY, false,
     E_INVALIDARG},
    {"read-write best effort", u"photo.jpg", nullptr, DWORD(GPS_READWRITE) | GPS_BESTEFFORT, false,
     E_INVALIDARG},
    {"read-write delayed", u"photo.jpg", nullptr, DWORD(GPS_READWRITE) | GPS_DELAYCREATION, false,
     E_INVALIDARG},
    {"temporary with another", u"photo.jpg", nullptr, DWORD(GPS_TEMPORARY) | GPS_OPENSLOWITEM,
     false, E_INVALIDARG},
    {"handler only, fast", u"photo.jpg", nullptr,
     DWORD(GPS_HANDLERPROPERTIESONLY) | GPS_FASTPROPERTIESONLY, false, E_INVALIDARG},
    {"handler only, best effort", u"photo.jpg", nullptr,
     DWORD(GPS_HANDLERPROPERTIESONLY) | GPS_BESTEFFORT, false, E_INVALIDARG},
    {"fast, delayed", u"photo.jpg", nullptr, DWORD(GPS_FASTPROPERTIESONLY) | GPS_DELAYCREATION,
     false, E_INVALIDARG},
    {"slow item, fast", u"photo.jpg", nullptr, DWORD(GPS_OPENSLOWITEM) | GPS_FASTPROPERTIESONLY,
     false, E_INVALIDARG},
    {"temporary, delayed", u"photo.jpg", nullptr, DWORD(GPS_TEMPORARY) | GPS_DELAYCREATION, false,
     E_INVALIDARG},
    {"temporary alone", u"photo.jpg", nullptr, GPS_TEMPORARY, false, S_OK},
    {"temporary, missing file", u"missing.txt", nullptr, GPS_TEMPORARY, false,
     HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
    {"read-write with the rest", u"photo.jpg", nullptr,
     DWORD(GPS_READWRITE) | GPS_HANDLERPROPERTIESONLY | GPS_OPENSLOWITEM | GPS_NO_OPLOCK |
         GPS_PREFERQUERYPROPERTIES,
     false, S_OK},
    {"fast, best effort", u"photo.jpg", nullptr, DWORD(GPS_FASTPROPERTIESONLY) | GPS_BESTEFFORT,
     false, S_OK},
    {"slow item, delayed, best effort", u"photo.jpg", nullptr,
     DWORD(GPS_OPENSLOWITEM) | GPS_DELAYCREATION | GPS_BESTEFFORT, false, S_OK},
};

TEST_F(StandinFileTest, OpenChecksNameFlagsAndInterface) {
    MakeFile("doc.txt", 3);
    MakeFile("photo.jpg", 3);
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
        if (object != nullptr && object != &object) { // released even when it should not be
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
    EXPECT_EQ(Read(store, KeyOf(W(u"System.FileAttributes"))), "A"); // FILE_ATTRIBUTE_ARCHIVE
    EXPECT_EQ(Read(store, kTitle), "");                              // not held: VT_EMPTY

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
    {u"System.Comment", u"  spaced  ", S_OK, "spaced"},
    {u"System.Rating", u"75", S_OK, "4 Stars"},
    {u"System.Rating", u"seventy", DISP_E_TYPEMISMATCH, ""},
    {u"System.Rating", u"-5", TYPE_E_TYPEMISMATCH, ""},
    {u"System.Keywords", u"red; green;;blue ;red", S_OK, "red; green; blue"},
    {u"System.Author", u"Ann", S_OK, "Ann"},
    // What the handler cannot store: read-only properties, and those it does not write.
    {u"System.Size", u"5", STG_E_INVALIDPARAMETER, ""},
    {u"System.FileName", u"other.jpg", STG_E_INVALIDPARAMETER, ""},
    {u"System.Company", u"not for photos", STG_E_INVALIDPARAMETER, ""},
};

TEST_F(StandinFileTest, WritesConvertCommitAndSurviveReopening) {
    if (!KeepsValues()) {
        GTEST_SKIP() << "no user extended attributes in " << folder;
    }
    const WString path = MakeFile("photo.jpg", 10);
    const std::string show = "show \"" + Narrow(path) + "\"";
    IPropertyStore* store = Open(path, GPS_READWRITE);
    ASSERT_NE(store, nullptr);
    EXPECT_TRUE(Names(store).empty()); // read-write: only writable properties with values
    EXPECT_EQ(store->Commit(), S_OK);  // nothing pending
    store->Release();
    store = Open(path, GPS_READWRITE);
    for (const WriteCase& test : kWriteCases) {
        SCOPED_TRACE(Narrow(W(test.name) + U16("=") + W(test.text)));
        EXPECT_EQ(WriteText(store, KeyOf(W(test.name)), W(test.text)), test.result);
    }
    EXPECT_EQ(Command(show), "no values"); // nothing is stored before the commit
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
    const ssize_t length = getxattr(fs::path(folder / "photo.jpg").c_str(), "user.System.Rating",
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
    const WString path = MakeFile("photo.jpg", 1);
    IPropertyStore* store = Open(path, GPS_READWRITE);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(WriteText(store, kTitle, W(u"Old")), S_OK);
    EXPECT_EQ(store->Commit(), S_OK);
    store->Release();

    if (!Protect(folder / "photo.jpg", true)) {
        GTEST_SKIP() << "cannot make a file unwritable here";
    }
    store = Open(path, GPS_READWRITE);
    EXPECT_EQ(WriteText(store, KeyOf(W(u"System.Comment")), W(u"new comment")), S_OK);
    EXPECT_EQ(WriteText(store, kTitle, W(u"New")), S_OK);
    EXPECT_EQ(store->Commit(), E_ACCESSDENIED);
    store->Release();
    Protect(folder / "photo.jpg", false);

    store = Open(path, GPS_READWRITE);
    EXPECT_EQ(Names(store), std::vector<std::string>{"System.Title"});
    EXPECT_EQ(Read(store, kTitle), "Old");
    store->Release();
}

struct HandlerCase {
    const char* file;
    const char16_t* property;
    HRESULT open; // GPS_READWRITE
    HRESULT write;
};

// Writes go through the handler of the file's type, which takes its own properties only.
constexpr HandlerCase kHandlerCases[] = {
    {"a.jpg", u"System.Rating", S_OK, S_OK},
    {"a.JPEG", u"System.Keywords", S_OK, S_OK},
    {"a.jpg", u"System.Category", S_OK, STG_E_INVALIDPARAMETER},
    {"a.mp3", u"System.Title", S_OK, S_OK},
    {"a.mp3", u"System.Author", S_OK, STG_E_INVALIDPARAMETER},
    {"a.docx", u"System.Company", S_OK, S_OK},
    {"a.docx", u"System.Rating", S_OK, STG_E_INVALIDPARAMETER},
    {"a.txt", u"System.Title", E_FAIL, S_OK},
    {"jpg", u"System.Title", E_FAIL, S_OK},
    {"a.jpg.txt", u"System.Title", E_FAIL, S_OK},
};

TEST_F(StandinFileTest, HandlersByFileType) {
    for (const HandlerCase& test : kHandlerCases) {
        SCOPED_TRACE(std::string(test.file) + " " + Narrow(W(test.property)));
        const WString path = MakeFile(test.file, 1);
        IPropertyStore* store = Open(path, GPS_READWRITE, test.open);
        if (store != nullptr) {
            EXPECT_EQ(WriteText(store, KeyOf(W(test.property)), W(u"5")), test.write);
            store->Release();
        }
        store = Open(path, GPS_DEFAULT); // reading needs no handler
        ASSERT_NE(store, nullptr);
        store->Release();
    }
    const WString folderPath = PathText(folder);
    Open(folderPath, GPS_READWRITE, E_FAIL);
}

TEST_F(StandinFileTest, HandlersDeclaredByTests) {
    const WString text = MakeFile("notes.txt", 1);
    const WString photo = MakeFile("photo.jpg", 1);
    Command("handler .txt System.Title System.Comment");
    IPropertyStore* store = Open(text, GPS_READWRITE);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(WriteText(store, kTitle, W(u"x")), S_OK);
    EXPECT_EQ(WriteText(store, KeyOf(W(u"System.Rating")), W(u"1")), STG_E_INVALIDPARAMETER);
    store->Release();
    IPropertyStore* open = Open(photo, GPS_READWRITE);
    Command("handler .jpg");
    Open(photo, GPS_READWRITE, HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(WriteText(open, kTitle, W(u"x")), S_OK); // a store keeps the handler it opened with
    open->Release();
    Open(photo, GPS_READWRITE, E_FAIL);
    Command("reset");
    Open(text, GPS_READWRITE, E_FAIL);
    Open(photo, GPS_READWRITE)->Release();

    for (const char* refused : {"handler", "handler jpg System.Title", "handler .JPG System.Title",
                                "handler .jpg System.Size", "handler .jpg System.Nothing",
                                "nohandler", "nohandler \"never declared\""}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(lib->Run(refused));
    }
}

TEST_F(StandinTest, DeclaredItemWithoutHandler) {
    Command("item \"doc:a\" System.Title=lpwstr:A");
    Command("nohandler \"doc:a\"");
    Open(W(u"doc:a"), GPS_READWRITE, E_FAIL);
    IPropertyStore* store = Open(W(u"doc:a"), GPS_DEFAULT);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(Read(store, kTitle), "A");
    store->Release();
    Command("item \"doc:a\""); // declared again: the handler is back
    Open(W(u"doc:a"), GPS_READWRITE)->Release();
}

// GPS_TEMPORARY: a writable store without initial properties, attached to the item and
// nothing more: it takes any key, commits nothing to the file and holds nothing.
TEST_F(StandinFileTest, TemporaryStoreIsAWritableBag) {
    const WString path = MakeFile("photo.jpg", 1);
    IPropertyStore* writer = Open(path, GPS_READWRITE); // holds the file
    ASSERT_NE(writer, nullptr);
    IPropertyStore* bag = Open(path, GPS_TEMPORARY);
    ASSERT_NE(bag, nullptr);
    EXPECT_TRUE(Names(bag).empty());
    EXPECT_EQ(WriteText(bag, kTitle, W(u" Kept ")), S_OK);
    EXPECT_EQ(WriteText(bag, kSize, W(u"5")), S_OK);
    EXPECT_EQ(WriteText(bag, KeyOf(W(u"System.Rating")), W(u"many")), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Names(bag), (std::vector<std::string>{"System.Title", "System.Size"}));
    EXPECT_EQ(Read(bag, kTitle), "Kept");
    EXPECT_EQ(bag->Commit(), S_OK);
    bag->Release();
    writer->Release();
    IPropertyStore* store = Open(path, GPS_DEFAULT);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(Read(store, kTitle), "");
    EXPECT_EQ(Read(store, kSize), "1 bytes");
    store->Release();
    Command("item \"doc:a\" System.Title=lpwstr:A");
    bag = Open(W(u"doc:a"), GPS_TEMPORARY);
    ASSERT_NE(bag, nullptr);
    EXPECT_TRUE(Names(bag).empty());
    EXPECT_EQ(WriteText(bag, kTitle, W(u"B")), S_OK);
    EXPECT_EQ(bag->Commit(), S_OK);
    bag->Release();
    EXPECT_EQ(Command("show \"doc:a\""), "System.Title=lpwstr:\"A\"");
}

// A store opened for writing holds its file until Commit or its release; nothing else opens
// the file meanwhile. Stores opened for reading hold nothing.
TEST_F(StandinFileTest, WritingHoldsTheFile) {
    const WString path = MakeFile("photo.jpg", 1);
    const HRESULT sharing = HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
    IPropertyStore* reader = Open(path, GPS_DEFAULT);
    IPropertyStore* writer = Open(path, GPS_READWRITE);
    ASSERT_NE(writer, nullptr);
    Open(path, GPS_READWRITE, sharing);
    Open(path, GPS_DEFAULT, sharing);
    reader->Release();
    writer->Release();
    writer = Open(path, GPS_READWRITE);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(writer->Commit(), S_OK); // lets go of the file
    IPropertyStore* next = Open(path, GPS_READWRITE);
    ASSERT_NE(next, nullptr);
    next->Release();
    writer->Release();
}

// Documented: no method of a store succeeds after its Commit; they fail with E_FAIL, and the
// stand-in counts each such call.
TEST_F(StandinTest, NothingSucceedsAfterCommit) {
    for (const char* failure : {"", "fail Commit 0x80030070"}) {
        SCOPED_TRACE(failure);
        Command("reset");
        Command("item \"doc:a\" System.Title=lpwstr:A");
        if (failure[0] != 0) {
            Command(failure);
        }
        IPropertyStore* store = Open(W(u"doc:a"), GPS_READWRITE);
        ASSERT_NE(store, nullptr);
        EXPECT_EQ(WriteText(store, kTitle, W(u"B")), S_OK);
        EXPECT_EQ(SUCCEEDED(store->Commit()), failure[0] == 0);
        DWORD count = 7;
        EXPECT_EQ(store->GetCount(&count), E_FAIL);
        EXPECT_EQ(count, 0u);
        PROPERTYKEY key = kTitle;
        EXPECT_EQ(store->GetAt(0, &key), E_FAIL);
        PROPVARIANT value;
        std::memset(&value, 0, sizeof value);
        EXPECT_EQ(store->GetValue(kTitle, &value), E_FAIL);
        EXPECT_EQ(value.vt, VT_EMPTY);
        EXPECT_EQ(WriteText(store, kTitle, W(u"C")), E_FAIL);
        EXPECT_EQ(store->Commit(), E_FAIL);
        store->Release();
        EXPECT_EQ(lib->Accounting(),
                  "references 0, allocations 0, bad frees 0, over-releases 0, uses after commit 5");
        std::string reply;
        EXPECT_FALSE(lib->Run("check", &reply));
    }
    Command("reset"); // forgets the faults, so that the fixture's check passes

    // A store opened for reading refuses to commit and stays usable.
    Command("item \"doc:a\" System.Title=lpwstr:A");
    IPropertyStore* store = Open(W(u"doc:a"), GPS_DEFAULT);
    EXPECT_EQ(store->Commit(), STG_E_ACCESSDENIED);
    EXPECT_EQ(Read(store, kTitle), "A");
    store->Release();
}

struct OlderNameCase {
    const char16_t* older;
    const char16_t* canonical; // null: not a name
};

// The legacy names PSGetPropertyDescriptionByName documents, for this schema's properties;
// matched exactly, as canonical names are.
constexpr OlderNameCase kOlderNameCases[] = {
    {u"DocTitle", u"System.Title"},
    {u"DocComments", u"System.Comment"},
    {u"Rating", u"System.Rating"},
    {u"Size", u"System.Size"},
    {u"Write", u"System.DateModified"},
    {u"Create", u"System.DateCreated"},
    {u"Access", u"System.DateAccessed"},
    {u"Attrib", u"System.FileAttributes"},
    {u"Attributes", u"System.FileAttributes"},
    {u"Name", u"System.ItemNameDisplay"},
    {u"Company", u"System.Company"},
    {u"rating", nullptr},
    {u"Title", nullptr},
    {u"Keywords", nullptr},
};

TEST_F(StandinTest, OlderNamesAreTheDocumentedOnes) {
    for (const OlderNameCase& test : kOlderNameCases) {
        SCOPED_TRACE(Narrow(W(test.older)));
        PROPERTYKEY key{};
        if (test.canonical == nullptr) {
            EXPECT_EQ(lib->keyFromName(W(test.older).c_str(), &key), TYPE_E_ELEMENTNOTFOUND);
            continue;
        }
        EXPECT_EQ(lib->keyFromName(W(test.older).c_str(), &key), S_OK);
        const PROPERTYKEY canonical = KeyOf(W(test.canonical));
        EXPECT_EQ(std::memcmp(&key, &canonical, sizeof key), 0);
    }
}

TEST_F(StandinTest, OlderNamesResolveToTheSameKeys) {
    EXPECT_TRUE(std::memcmp(&kTitle, &static_cast<const PROPERTYKEY&>(KeyOf(W(u"DocTitle"))),
                            sizeof kTitle) == 0);
    PWSTR name = nullptr;
    EXPECT_EQ(lib->nameFromKey(kTitle, &name), S_OK);
    EXPECT_EQ(Narrow(name), "System.Title"); // a key answers its canonical name
    lib->taskFree(name);
    PROPERTYKEY key{};
    EXPECT_EQ(lib->keyFromName(W(u"doctitle").c_str(), &key), TYPE_E_ELEMENTNOTFOUND);
    IPropertyDescription* description = nullptr;
    ASSERT_EQ(lib->descriptionByName(W(u"DocKeywords").c_str(), kIidPropertyDescription,
                                     reinterpret_cast<void**>(&description)),
              S_OK);
    EXPECT_EQ(description->GetCanonicalName(&name), S_OK);
    EXPECT_EQ(Narrow(name), "System.Keywords");
    lib->taskFree(name);
    description->Release();
}

} // namespace
} // namespace standin_test
