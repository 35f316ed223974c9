// Version resources of ELF modules.
//
// The build embeds a module's compiled resource file (.res: a run of resource records, each a
// header followed by its data, every record 32-bit aligned) in the section ".zekversion". The
// RT_VERSION record's data is the same VS_VERSIONINFO block a Windows module carries, so
// VerQueryValueW reads it exactly as Windows does.
//
// Files and blocks are untrusted: every offset is checked against the size of what holds it
// before it is read, so a foreign or damaged file gives "no version information" at worst.
#include "platform/posix/Text.h"
#include "platform/posix/win32.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "ELF and .res fields are read as stored");

namespace {

constexpr char SectionName[] = ".zekversion";
constexpr WORD ResourceTypeVersion = 16; // RT_VERSION
constexpr std::uint64_t MaxSectionSize = 16u << 20;
constexpr std::size_t NodeHeaderSize = 6; // wLength, wValueLength, wType

std::size_t Align4(std::size_t offset) {
    return (offset + 3) & ~static_cast<std::size_t>(3);
}

WORD ReadWord(const BYTE* data, std::size_t offset) {
    WORD value;
    std::memcpy(&value, data + offset, sizeof value);
    return value;
}

DWORD ReadDword(const BYTE* data, std::size_t offset) {
    DWORD value;
    std::memcpy(&value, data + offset, sizeof value);
    return value;
}

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path)
        : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
    ~ReadOnlyFile() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Win32 error of the open, or ERROR_SUCCESS for a regular file.
    DWORD Open() {
        if (fd_ < 0) {
            return errno == EACCES || errno == EPERM ? ERROR_ACCESS_DENIED
                   : errno == ENOTDIR                ? ERROR_PATH_NOT_FOUND
                                                     : ERROR_FILE_NOT_FOUND;
        }
        struct stat status;
        if (fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
            return ERROR_ACCESS_DENIED;
        }
        size_ = static_cast<std::uint64_t>(status.st_size);
        return ERROR_SUCCESS;
    }

    std::uint64_t Size() const { return size_; }

    // Reads [offset, offset + count) when the file holds all of it.
    bool Read(std::uint64_t offset, std::uint64_t count, void* out) const {
        if (offset > size_ || count > size_ - offset) {
            return false;
        }
        auto* bytes = static_cast<char*>(out);
        while (count > 0) {
            ssize_t got = pread(fd_, bytes, count, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return false;
            }
            bytes += got;
            offset += static_cast<std::uint64_t>(got);
            count -= static_cast<std::uint64_t>(got);
        }
        return true;
    }

private:
    int fd_;
    std::uint64_t size_ = 0;
};

bool ReadSectionHeader(const ReadOnlyFile& file, const Elf64_Ehdr& header, std::uint64_t index,
                       Elf64_Shdr& section) {
    return file.Read(header.e_shoff + index * header.e_shentsize, sizeof section, &section);
}

bool ReadSection(const ReadOnlyFile& file, const Elf64_Shdr& section, std::vector<BYTE>& data) {
    if (section.sh_type == SHT_NOBITS || section.sh_size > MaxSectionSize) {
        return false;
    }
    data.resize(static_cast<std::size_t>(section.sh_size));
    return file.Read(section.sh_offset, section.sh_size, data.data());
}

// The contents of our section, ERROR_RESOURCE_TYPE_NOT_FOUND when the file has none.
DWORD ReadVersionSection(const ReadOnlyFile& file, std::vector<BYTE>& data) {
    Elf64_Ehdr header;
    if (!file.Read(0, sizeof header, &header) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_ident[EI_DATA] != ELFDATA2LSB) {
        return ERROR_BAD_FORMAT;
    }
    if (header.e_shoff == 0) {
        return ERROR_RESOURCE_TYPE_NOT_FOUND;
    }
    if (header.e_shentsize < sizeof(Elf64_Shdr)) {
        return ERROR_BAD_FORMAT;
    }
    // Large section counts and string table indexes live in section 0.
    std::uint64_t count = header.e_shnum;
    std::uint64_t namesIndex = header.e_shstrndx;
    if (count == 0 || namesIndex == SHN_XINDEX) {
        Elf64_Shdr first;
        if (!ReadSectionHeader(file, header, 0, first)) {
            return ERROR_BAD_FORMAT;
        }
        count = count == 0 ? first.sh_size : count;
        namesIndex = namesIndex == SHN_XINDEX ? first.sh_link : namesIndex;
    }
    // Every header must lie in the file; this also keeps the offsets below from overflowing.
    if (header.e_shoff > file.Size() ||
        count > (file.Size() - header.e_shoff) / header.e_shentsize || namesIndex >= count) {
        return ERROR_BAD_FORMAT;
    }
    Elf64_Shdr namesSection;
    std::vector<BYTE> names;
    if (!ReadSectionHeader(file, header, namesIndex, namesSection) ||
        !ReadSection(file, namesSection, names)) {
        return ERROR_BAD_FORMAT;
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        Elf64_Shdr section;
        if (!ReadSectionHeader(file, header, i, section)) {
            return ERROR_BAD_FORMAT;
        }
        std::size_t nameEnd = std::size_t{section.sh_name} + sizeof SectionName;
        if (nameEnd > names.size() ||
            std::memcmp(names.data() + section.sh_name, SectionName, sizeof SectionName) != 0) {
            continue;
        }
        return ReadSection(file, section, data) ? ERROR_SUCCESS : ERROR_BAD_FORMAT;
    }
    return ERROR_RESOURCE_TYPE_NOT_FOUND;
}

// Finds the RT_VERSION record of a .res image: [offset, offset + size) of its data.
bool FindVersionRecord(const std::vector<BYTE>& res, std::size_t& offset, std::size_t& size) {
    std::size_t position = 0;
    while (res.size() - position >= 8) {
        DWORD dataSize = ReadDword(res.data(), position);
        DWORD headerSize = ReadDword(res.data(), position + 4);
        std::size_t left = res.size() - position;
        if (headerSize < 12 || headerSize > left || dataSize > left - headerSize) {
            return false;
        }
        // The type is an ordinal (0xFFFF, number) or a name; only the ordinal can be RT_VERSION.
        if (ReadWord(res.data(), position + 8) == 0xFFFF &&
            ReadWord(res.data(), position + 10) == ResourceTypeVersion &&
            dataSize >= NodeHeaderSize) {
            offset = position + headerSize;
            size = dataSize;
            return true;
        }
        position = Align4(position + headerSize + dataSize);
        if (position > res.size()) {
            return false;
        }
    }
    return false;
}

// The version block of a file, or the Win32 error that explains its absence.
DWORD LoadVersionBlock(LPCWSTR path, std::vector<BYTE>& block) {
    if (path == nullptr || path[0] == 0) {
        return ERROR_INVALID_PARAMETER;
    }
    ReadOnlyFile file(zekplatform::PathFromUtf16(path));
    if (DWORD error = file.Open()) {
        return error;
    }
    std::vector<BYTE> res;
    if (DWORD error = ReadVersionSection(file, res)) {
        return error;
    }
    std::size_t offset = 0;
    std::size_t size = 0;
    if (!FindVersionRecord(res, offset, size)) {
        return ERROR_RESOURCE_TYPE_NOT_FOUND;
    }
    block.assign(res.begin() + static_cast<std::ptrdiff_t>(offset),
                 res.begin() + static_cast<std::ptrdiff_t>(offset + size));
    return ERROR_SUCCESS;
}

// One node of a VS_VERSIONINFO tree, as offsets into the block.
struct Node {
    std::size_t end = 0; // one past the node's last byte
    WORD valueLength = 0;
    std::size_t keyOffset = 0;
    std::size_t keyLength = 0; // in WCHARs, without the terminator
    std::size_t valueOffset = 0;
    std::size_t childrenOffset = 0;
};

// Reads the node at `offset`, which must end by `limit`.
bool ReadNode(const BYTE* block, std::size_t limit, std::size_t offset, Node& node) {
    if (offset > limit || limit - offset < NodeHeaderSize) {
        return false;
    }
    WORD length = ReadWord(block, offset);
    if (length < NodeHeaderSize || length > limit - offset) {
        return false;
    }
    node.end = offset + length;
    node.valueLength = ReadWord(block, offset + 2);
    WORD type = ReadWord(block, offset + 4);
    node.keyOffset = offset + NodeHeaderSize;
    std::size_t key = node.keyOffset;
    for (;; key += sizeof(WCHAR)) {
        if (node.end - key < sizeof(WCHAR)) {
            return false; // key without its terminator
        }
        if (ReadWord(block, key) == 0) {
            break;
        }
    }
    node.keyLength = (key - node.keyOffset) / sizeof(WCHAR);
    std::size_t valueBytes = type == 1 ? node.valueLength * sizeof(WCHAR) : node.valueLength;
    node.valueOffset = Align4(key + sizeof(WCHAR));
    if (valueBytes == 0) {
        // The padding after the key may be left out of a node that ends there.
        if (node.valueOffset > node.end) {
            node.valueOffset = node.end;
        }
    } else if (node.valueOffset > node.end || valueBytes > node.end - node.valueOffset) {
        return false;
    }
    node.childrenOffset = Align4(node.valueOffset + valueBytes);
    if (node.childrenOffset > node.end) {
        node.childrenOffset = node.end;
    }
    return true;
}

WCHAR Fold(WCHAR c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<WCHAR>(c + 0x20);
    }
    return c;
}

bool KeyEquals(const BYTE* block, const Node& node, LPCWSTR name, std::size_t length) {
    if (node.keyLength != length) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (Fold(ReadWord(block, node.keyOffset + i * sizeof(WCHAR))) != Fold(name[i])) {
            return false;
        }
    }
    return true;
}

bool FindChild(const BYTE* block, const Node& parent, LPCWSTR name, std::size_t length,
               Node& found) {
    std::size_t offset = parent.childrenOffset;
    while (offset < parent.end) {
        Node child;
        if (!ReadNode(block, parent.end, offset, child)) {
            return false;
        }
        if (KeyEquals(block, child, name, length)) {
            found = child;
            return true;
        }
        offset = Align4(child.end);
    }
    return false;
}

} // namespace

DWORD GetFileVersionInfoSizeW(LPCWSTR lptstrFilename, DWORD* lpdwHandle) {
    if (lpdwHandle != nullptr) {
        *lpdwHandle = 0;
    }
    try {
        std::vector<BYTE> block;
        if (DWORD error = LoadVersionBlock(lptstrFilename, block)) {
            SetLastError(error);
            return 0;
        }
        return static_cast<DWORD>(block.size());
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
}

BOOL GetFileVersionInfoW(LPCWSTR lptstrFilename, DWORD, DWORD dwLen, LPVOID lpData) {
    if (lpData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (dwLen < NodeHeaderSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    try {
        std::vector<BYTE> block;
        if (DWORD error = LoadVersionBlock(lptstrFilename, block)) {
            SetLastError(error);
            return FALSE;
        }
        // A short buffer receives the start of the block, as on Windows. Its length is cut to
        // what was copied, so that VerQueryValueW stays inside the caller's buffer.
        std::size_t copied = block.size() < dwLen ? block.size() : dwLen;
        std::memcpy(lpData, block.data(), copied);
        if (ReadWord(block.data(), 0) > copied) {
            auto length = static_cast<WORD>(copied);
            std::memcpy(lpData, &length, sizeof length);
        }
        return TRUE;
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}

BOOL VerQueryValueW(LPCVOID pBlock, LPCWSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen) {
    if (puLen != nullptr) {
        *puLen = 0;
    }
    if (pBlock == nullptr || lpSubBlock == nullptr || lplpBuffer == nullptr) {
        return FALSE;
    }
    const auto* block = static_cast<const BYTE*>(pBlock);
    Node node;
    if (!ReadNode(block, ReadWord(block, 0), 0, node)) {
        return FALSE;
    }
    // Path components are separated by backslashes; empty ones are skipped.
    for (LPCWSTR name = lpSubBlock; *name != 0;) {
        if (*name == u'\\') {
            ++name;
            continue;
        }
        std::size_t length = 0;
        while (name[length] != 0 && name[length] != u'\\') {
            ++length;
        }
        if (!FindChild(block, node, name, length, node)) {
            SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
            return FALSE;
        }
        name += length;
    }
    *lplpBuffer = const_cast<BYTE*>(block + node.valueOffset);
    if (puLen != nullptr) {
        *puLen = node.valueLength;
    }
    return TRUE;
}
