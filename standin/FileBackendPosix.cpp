// Files off Windows: facts from statx, values in extended attributes of the `user.` namespace,
// one per property ("user.System.Title"), holding the value's typed text ("lpwstr:""Hello""").
#include "standin/FileBackend.h"

#include "standin/Dates.h"
#include "standin/Text.h"
#include "standin/ValueText.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace standin {
namespace {

constexpr char kPrefix[] = "user.";
constexpr DWORD kReadOnly = 0x1, kHidden = 0x2, kDirectory = 0x10, kArchive = 0x20,
                kReparsePoint = 0x400;

HRESULT FromErrno(int error) {
    switch (error) {
    case ENOENT:
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    case ENOTDIR:
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    case EACCES:
    case EPERM:
    case EROFS:
        return E_ACCESSDENIED;
    case ENOSPC:
    case EDQUOT:
    case E2BIG:
    case ERANGE:
        return HRESULT_FROM_WIN32(112L); // ERROR_DISK_FULL
    case ENOTSUP:
        return HRESULT_FROM_WIN32(50L); // ERROR_NOT_SUPPORTED
    case ENOMEM:
        return E_OUTOFMEMORY;
    default:
        return E_FAIL;
    }
}

// A missing file, or a missing folder on the way to it.
HRESULT NotFound(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    struct stat info {};
    if (stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

std::uint64_t Ticks(const struct statx_timestamp& time) {
    return TicksFromUnix(time.tv_sec, time.tv_nsec);
}

std::optional<std::string> ReadAttribute(const std::string& path, const std::string& name) {
    for (;;) {
        const ssize_t size = getxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (size < 0) {
            return std::nullopt;
        }
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t read = getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (read >= 0) {
            value.resize(static_cast<std::size_t>(read));
            return value;
        }
        if (errno != ERANGE) {
            return std::nullopt; // else it grew meanwhile: ask again
        }
    }
}

int WriteAttribute(const std::string& path, const std::string& name,
                   const std::optional<std::string>& value) {
    if (value) {
        return setxattr(path.c_str(), name.c_str(), value->data(), value->size(), 0) == 0 ? 0
                                                                                          : errno;
    }
    if (removexattr(path.c_str(), name.c_str()) == 0 || errno == ENODATA) {
        return 0;
    }
    return errno;
}

} // namespace

HRESULT ReadFileFacts(const WString& path, FileFacts& facts) {
    const std::string native = Utf16ToUtf8(path);
    if (native.empty() || native[0] != '/') {
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    struct statx info {};
    if (statx(AT_FDCWD, native.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) {
        const int error = errno;
        return error == ENOENT ? NotFound(native) : FromErrno(error);
    }
    struct statx target = info;
    if (S_ISLNK(info.stx_mode) &&
        statx(AT_FDCWD, native.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &target) != 0) {
        return FromErrno(errno); // a dangling link
    }
    std::string name = native;
    while (name.size() > 1 && name.back() == '/') {
        name.pop_back();
    }
    name = name.substr(name.find_last_of('/') + 1);
    facts.name = Utf8ToUtf16(name.empty() ? "/" : name);
    facts.directory = S_ISDIR(target.stx_mode);
    facts.size = facts.directory ? 0 : target.stx_size;
    facts.modified = Ticks(target.stx_mtime);
    facts.accessed = Ticks(target.stx_atime);
    // The birth time where the file system records it; else the older of change and write.
    const bool born = (target.stx_mask & STATX_BTIME) != 0;
    const std::uint64_t changed = Ticks(target.stx_ctime);
    facts.created =
        born ? Ticks(target.stx_btime) : (changed < facts.modified ? changed : facts.modified);
    facts.attributes = facts.directory ? kDirectory : kArchive;
    if (!(target.stx_mode & S_IWUSR)) {
        facts.attributes |= kReadOnly;
    }
    if (name.size() > 1 && name[0] == '.') {
        facts.attributes |= kHidden;
    }
    if (S_ISLNK(info.stx_mode)) {
        facts.attributes |= kReparsePoint;
    }
    return S_OK;
}

HRESULT CheckReadable(const WString& path) {
    // Not blocking: a FIFO must not stall the open.
    const int file = open(Utf16ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (file < 0) {
        return FromErrno(errno);
    }
    close(file);
    return S_OK;
}

WString FileIdentity(const WString& path) {
    return path;
}

HRESULT ReadStoredValues(const WString& path, StoredValues& values) {
    values.clear();
    const std::string native = Utf16ToUtf8(path);
    ssize_t size = listxattr(native.c_str(), nullptr, 0);
    if (size < 0) {
        return errno == ENOTSUP ? S_OK : FromErrno(errno);
    }
    std::string names(static_cast<std::size_t>(size), '\0');
    size = listxattr(native.c_str(), names.data(), names.size());
    if (size < 0) {
        return FromErrno(errno);
    }
    names.resize(static_cast<std::size_t>(size));
    for (std::size_t pos = 0; pos < names.size();) {
        const std::string name = names.c_str() + pos;
        pos += name.size() + 1;
        if (name.compare(0, sizeof kPrefix - 1, kPrefix) != 0) {
            continue;
        }
        const std::optional<std::string> text = ReadAttribute(native, name);
        Value value;
        std::string error;
        if (text && ParseTypedValue(*text, value, error)) {
            values.emplace_back(Utf8ToUtf16(name.substr(sizeof kPrefix - 1)), std::move(value));
        }
    }
    return S_OK;
}

HRESULT WriteStoredValues(const WString& path, const StoredValues& changes) {
    const std::string native = Utf16ToUtf8(path);
    std::vector<std::pair<std::string, std::optional<std::string>>> previous;
    for (const auto& [name, value] : changes) {
        const std::string attribute = kPrefix + Utf16ToUtf8(name);
        previous.emplace_back(attribute, ReadAttribute(native, attribute));
        const std::optional<std::string> text =
            value.IsEmpty() ? std::nullopt : std::optional<std::string>(TypedValueText(value));
        const int error = WriteAttribute(native, attribute, text);
        if (error != 0) {
            for (auto it = previous.rbegin(); it != previous.rend(); ++it) {
                WriteAttribute(native, it->first, it->second);
            }
            return error == ENOENT ? NotFound(native) : FromErrno(error);
        }
    }
    return S_OK;
}

void ForgetStoredValues() {}

} // namespace standin
